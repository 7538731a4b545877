// The platform's modal message boxes.
#include "ui/message_boxes.hpp"

#include <QApplication>
#include <QMessageBox>

namespace emforce {

void QtMessageBoxes::showError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QApplication::applicationName(), text);
}

void QtMessageBoxes::showInformation(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationName(), text);
}

bool QtMessageBoxes::askYesNo(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QApplication::applicationName(), question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace emforce
