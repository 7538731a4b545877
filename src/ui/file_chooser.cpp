// The platform's modal file dialogs.
#include "ui/file_chooser.hpp"

#include <QFileDialog>
#include <QInputDialog>

namespace emforce {

namespace {

QString chosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace

QString QtFileChooser::openFileName(QWidget* parent, const QString& filter) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog);
}

QString QtFileChooser::saveFileName(QWidget* parent, const QString& filter,
                                    const QString& initialName, const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!initialName.isEmpty()) dialog.selectFile(initialName);
    return chosenFile(dialog);
}

int QtFileChooser::pictureScale(QWidget* parent, int suggested) {
    bool ok = false;
    const int scale = QInputDialog::getInt(
        parent, "PNG resolution", "Picture pixels per pixel of the chart on the screen:", suggested,
        1, 8, 1, &ok);
    return ok ? scale : 0;
}

}  // namespace emforce
