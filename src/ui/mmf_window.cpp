// The MMF window: spectrum, spatial distribution and induced current densities of the MMF sheets.
#include "ui/mmf_window.hpp"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "model/spectrum.hpp"
#include "ui/message_boxes.hpp"
#include "ui/mmf_chart_panel.hpp"
#include "ui/picture_export.hpp"

namespace emforce {

namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QCheckBox* makeCheckBox(const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

QToolButton* makeSmallButton(const char* name, const QString& text, const QString& hint) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setFixedWidth(button->sizeHint().height() + 4);
    return button;
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void applyState(QCheckBox* box, const CheckBoxState& state) {
    box->setEnabled(state.enabled);
    box->setChecked(state.checked);
}

}  // namespace

MmfWindow::MmfWindow(Model& model, MessageBoxes& messages, FileChooser& files, QWidget* parent)
    : QWidget(parent, Qt::Window), m_model(model), m_messages(messages), m_files(files) {
    setObjectName("Form3");
    setWindowTitle("Magnetomotive Forces");
    // Only the main window's closing ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(1236, 572);

    auto* note = new QLabel(
        "MMF harmonics and spatial distribution are presented for one phase (but scaled for "
        "global values).");
    note->setObjectName("Label1");
    setBackground(note, QColor(255, 255, 0));
    note->setMargin(2);

    m_chart = new MmfChartPanel;
    connect(m_chart->acceptButton(), &QPushButton::clicked, this,
            &MmfWindow::acceptAxisDescriptions);
    auto* chartRow = new QHBoxLayout;
    chartRow->addWidget(buildChartButtons());
    chartRow->addWidget(m_chart, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(note);
    left->addLayout(chartRow, 1);
    left->addWidget(buildChartOptions());

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(left, 1);
    layout->addWidget(buildControls());
}

QWidget* MmfWindow::buildControls() {
    m_spectrum = makeCheckBox("CB0", "harmonics spectrum / spatial distribution ( F5) ");
    setBackground(m_spectrum, QColor(0, 255, 0));
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_spectrum);
    layout->addWidget(buildCurveBoxes());
    layout->addWidget(buildPatterns());
    layout->addStretch();
    return column;
}

QWidget* MmfWindow::buildCurveBoxes() {
    auto* group = new QGroupBox("chose the curve");
    group->setObjectName("GroupBox1");
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    m_curves = {
        makeCheckBox("CB1", "Rail / Stator MMF for INDUCTION and SYNCHRONOUS MOTORS"),
        makeCheckBox("CB2", "Carriage / Rotor current density on OUTER layer for INDUCTION MOTOR"),
        makeCheckBox("CB3", "Carriage / Rotor current density on  INNER layer for INDUCTION MOTOR"),
        makeCheckBox("CB4", "Carriage / Rotor MMF                         for SYNCHRONOUS MOTOR"),
    };
    m_curves[0]->setChecked(true);
    for (QCheckBox* box : m_curves) layout->addWidget(box);
    return group;
}

QWidget* MmfWindow::buildPatterns() {
    auto* group = new QGroupBox("RG");
    group->setObjectName("RG");
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(0);
    m_patterns = new QButtonGroup(group);
    for (int id = 0; id < kWindingPatternCount; ++id) {
        auto* radio = new QRadioButton(qtText(kWindingPatterns[static_cast<size_t>(id)].caption));
        m_patterns->addButton(radio, id);
        layout->addWidget(radio);
    }
    m_patterns->button(1)->setChecked(true);
    return group;
}

QWidget* MmfWindow::buildChartButtons() {
    QToolButton* font = makeSmallButton("Button1", "f", "font size = 12");
    QToolButton* insert = makeSmallButton("Button55", "in", "insert the axes descriptions");
    QToolButton* clear = makeSmallButton("Button77", "de", "clear the axes descriptions");
    connect(font, &QToolButton::clicked, this, [this, font] {
        font->setToolTip("Font Size = " + QString::number(m_chart->stepLabelFont()));
    });
    connect(insert, &QToolButton::clicked, m_chart, &MmfChartPanel::showAxisSelectors);
    connect(clear, &QToolButton::clicked, m_chart, &MmfChartPanel::clearAxisTitles);

    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addSpacing(24);
    layout->addWidget(font);
    layout->addStretch(1);
    layout->addWidget(insert);
    layout->addWidget(clear);
    layout->addStretch(2);
    return column;
}

QWidget* MmfWindow::buildChartOptions() {
    QCheckBox* legend = makeCheckBox("CheckBox1", "show / hide chart legend");
    QCheckBox* title = makeCheckBox("CheckBox2", "show / hide chart title");
    QCheckBox* marks = makeCheckBox("CheckBox3", "show / hide marks");
    // Each click inverts, whatever the box shows.
    connect(legend, &QCheckBox::clicked, m_chart, &MmfChartPanel::toggleLegend);
    connect(title, &QCheckBox::clicked, m_chart, &MmfChartPanel::toggleTitle);
    connect(marks, &QCheckBox::clicked, m_chart, &MmfChartPanel::toggleMarks);

    auto* save =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), "      Save Picture");
    save->setObjectName("BitBtn1");
    connect(save, &QPushButton::clicked, this,
            [this] { savePicture(viewPicture(m_chart->view()), m_files, m_messages, this); });

    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    for (QCheckBox* box : {legend, title, marks}) layout->addWidget(box);
    layout->addStretch();
    layout->addWidget(save);
    return row;
}

MmfChartOptions MmfWindow::options() const {
    return {m_spectrum->isChecked(), m_curves[0]->isChecked(), m_curves[1]->isChecked(),
            m_curves[2]->isChecked(), m_curves[3]->isChecked()};
}

void MmfWindow::redraw(InputRecord& record) {
    QWidget* parent = dialogParent();
    const QuestionCallback ask = [this, parent](const std::string& question) {
        return m_messages.askYesNo(parent, QString::fromStdString(question));
    };
    m_chart->clearSeries();
    try {
        const MmfChart chart = computeMmfChart(m_model, record, options(), ask);
        display(chart);
        for (int i = 0; i < chart.underConstructionMessages; ++i)
            m_messages.showInformation(parent, qtText(kUnderConstruction));
    } catch (const MmfChartError& e) {
        display(e.partial());
        m_messages.showError(parent, QString::fromStdString(e.what()));
        return;
    } catch (const ExitRequested&) {
        Q_EMIT exitRequested();
        return;
    }
    showAndRaise();
}

void MmfWindow::display(const MmfChart& chart) {
    m_chart->showChart(chart);
    if (!chart.boxes) return;
    applyState(m_curves[1], chart.boxes->outerDensity);
    applyState(m_curves[2], chart.boxes->innerDensity);
    applyState(m_curves[3], chart.boxes->rotorMmf);
}

void MmfWindow::acceptAxisDescriptions() {
    try {
        m_chart->acceptAxisDescriptions();
    } catch (const CalcError& e) {
        m_messages.showError(this, QString::fromStdString(e.what()));
    }
}

// While the window is hidden, its messages belong to the window the command came from.
QWidget* MmfWindow::dialogParent() { return isVisible() ? this : QApplication::activeWindow(); }

void MmfWindow::showAndRaise() {
    show();
    raise();
    activateWindow();
}

}  // namespace emforce
