// The help window: what the program computes and how to use it.
#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace emforce {

/// A modeless window with the read-only help text. Closing it only hides it.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

public Q_SLOTS:
    /// Shows the window, or brings it to the front when it is already shown.
    void showAndRaise();
};

}  // namespace emforce
