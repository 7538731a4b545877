// The file dialogs of the window's commands, behind an interface so that tests can answer them.
#pragma once

#include <QString>

class QWidget;

namespace emforce {

/// Asks the user for a file name; an empty name means the dialog was cancelled.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    /// An open dialog for an existing file matching the name filter ("*.txt").
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    /// A save dialog starting at initialName; a name typed without a suffix gets defaultSuffix.
    virtual QString saveFileName(QWidget* parent, const QString& filter, const QString& initialName,
                                 const QString& defaultSuffix) = 0;
    /// The resolution of a PNG picture, in picture pixels per pixel on the screen, starting at
    /// `suggested`; 0 when the user cancelled. Without a dialog the suggestion is taken.
    virtual int pictureScale(QWidget* /*parent*/, int suggested) { return suggested; }
};

/// The platform's modal file dialogs.
class QtFileChooser final : public FileChooser {
public:
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter, const QString& initialName,
                         const QString& defaultSuffix) override;
    int pictureScale(QWidget* parent, int suggested) override;
};

}  // namespace emforce
