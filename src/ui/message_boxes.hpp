// The window's message boxes, behind an interface so that tests can answer them.
#pragma once

#include <QString>

class QWidget;

namespace emforce {

/// Shows the errors of a user action and asks the questions of a reading.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    /// An error box with an OK button; returns when it is closed.
    virtual void showError(QWidget* parent, const QString& text) = 0;
    /// An information box with an OK button; returns when it is closed. Boxes that only report
    /// errors and questions may leave it out: the information is then not shown.
    virtual void showInformation(QWidget* /*parent*/, const QString& /*text*/) {}
    /// A Yes/No question; true is Yes.
    virtual bool askYesNo(QWidget* parent, const QString& question) = 0;
};

/// The platform's modal message boxes.
class QtMessageBoxes final : public MessageBoxes {
public:
    void showError(QWidget* parent, const QString& text) override;
    void showInformation(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& question) override;
};

}  // namespace emforce
