// The help window: what the program computes and how to use it.
#include "ui/help_window.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

#include "ui/help_text.hpp"

namespace emforce {

namespace {

QString helpText() {
    QStringList lines;
    for (std::string_view line : kHelpLines)
        lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    return lines.join(u'\n');
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form2");
    setWindowTitle("Help / Description");
    // Only the main window's closing ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(931, 771);

    auto* text = new QPlainTextEdit(this);
    text->setObjectName("Memo1");
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text->setPlainText(helpText());

    auto* since = new QLabel("since July 2006", this);
    since->setObjectName("Label1");
    since->setAutoFillBackground(true);
    QPalette palette = since->palette();
    palette.setColor(QPalette::Window, QColor(166, 202, 240));
    since->setPalette(palette);
    QFont font("Book Antiqua");
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(16);
    since->setFont(font);
    since->setMargin(4);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(since);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(text, 1);
    layout->addLayout(bottom);
}

void HelpWindow::showAndRaise() {
    show();
    raise();
    activateWindow();
}

}  // namespace emforce
