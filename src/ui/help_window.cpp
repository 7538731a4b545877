// The help window: what the program computes and how to use it.
#include "ui/help_window.hpp"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QStringList>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/help_text.hpp"

namespace emforce {

namespace {

const char* const kSizeKey = "helpWindow/geometry";

QString qtText(std::string_view line) {
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

// How to use the program first, then what it computes.
QString helpText() {
    QStringList lines;
    for (std::string_view line : kUsageLines) lines << qtText(line);
    lines << qtText(kTheoryHeading) << QString();
    for (std::string_view line : kHelpLines) lines << qtText(line);
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
    if (!isVisible()) {
        // The size of the last session where there is one; always within the screen, title
        // bar included.
        const QByteArray saved = QSettings("emforce", "emforce").value(kSizeKey).toByteArray();
        if (saved.isEmpty() || !restoreGeometry(saved)) resize(931, 771);
        const QRect area = screen()->availableGeometry();
        const QSize room = area.size() - QSize(16, 48);
        resize(size().boundedTo(room));
        QRect frame = geometry();
        if (!area.contains(frame))
            setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), area));
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindow::hideEvent(QHideEvent* event) {
    QSettings("emforce", "emforce").setValue(kSizeKey, saveGeometry());
    QWidget::hideEvent(event);
}

}  // namespace emforce
