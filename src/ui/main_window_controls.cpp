// The controls of the main window, area by area; their start values come from the input record.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "run/sweep.hpp"
#include "ui/chart_buttons.hpp"
#include "ui/chart_panel.hpp"
#include "ui/input_binder.hpp"
#include "ui/main_window.hpp"
#include "ui/regions_page.hpp"
#include "ui/results_page.hpp"
#include "ui/sweep_panel.hpp"

namespace emforce {

namespace {

// The widest number of the run's report, in characters ("-6,756296882E-001").
constexpr int kReportNumberWidth = 17;

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <size_t N>
QComboBox* makeList(const char* name, const std::array<std::string_view, N>& items,
                    const QString& hint = {}) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view item : items) box->addItem(qtText(item));
    box->setToolTip(hint);
    return box;
}

QLineEdit* makeEdit(const char* name, const QString& hint = {}) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setToolTip(hint);
    return edit;
}

// A container whose empty space is the window's background: a click on it starts a run.
template <class W>
W* background(W* widget) {
    widget->setProperty(kBackgroundProperty, true);
    return widget;
}

// A read-only field takes the focus by a click (to select and copy its text), not by Tab.
template <class W>
W* readOnly(W* widget) {
    widget->setReadOnly(true);
    widget->setFocusPolicy(Qt::ClickFocus);
    return widget;
}

// A scroll area for a part of the window that may not fit the screen.
QScrollArea* scrolled(QWidget* content, const char* name) {
    auto* area = new QScrollArea;
    area->setObjectName(name);
    area->setWidget(background(content));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    background(area->viewport());
    return area;
}

// A caption above its field, as the labelled edits of the window are drawn.
QWidget* captioned(const QString& caption, QWidget* field) {
    auto* box = background(new QWidget);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* label = new QLabel(caption);
    label->setWordWrap(true);
    label->setBuddy(field);
    layout->addWidget(label);
    layout->addWidget(field);
    return box;
}

QPlainTextEdit* makeMemo(const char* name, const QStringList& lines) {
    auto* memo = readOnly(new QPlainTextEdit);
    memo->setObjectName(name);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setPlainText(lines.join(u'\n'));
    return memo;
}

// A cell that shows a label: neither selectable nor editable, skipped by Tab.
QTableWidgetItem* labelCell(const QPalette& palette) {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::NoItemFlags);
    item->setForeground(palette.color(QPalette::WindowText));
    item->setBackground(palette.color(QPalette::Window));
    return item;
}

QTableWidget* makeTable(const char* name, int rows, int columns,
                        const std::function<bool(int, int)>& isLabel) {
    auto* table = new QTableWidget(rows, columns);
    table->setObjectName(name);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rowHeight = table->fontMetrics().height() + 8;
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            table->setItem(
                row, column,
                isLabel(row, column) ? labelCell(table->palette()) : new QTableWidgetItem);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    for (int column = 1; column < columns; ++column)
        table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Stretch);
    table->setFixedHeight(rows * rowHeight + 2 * table->frameWidth());
    table->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return table;
}

// A group of radio buttons whose ids are the items' indices.
QGroupBox* makeRadioGroup(const char* name, const QString& title, const QStringList& items,
                          QButtonGroup*& group) {
    auto* box = new QGroupBox(title);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(1);  // compact, so that the chart keeps its height on small screens
    group = new QButtonGroup(box);
    for (int id = 0; id < items.size(); ++id) {
        auto* radio = new QRadioButton(items[id]);
        group->addButton(radio, id);
        layout->addWidget(radio);
    }
    layout->addStretch();
    return box;
}

// Whether a slot's box is in the group of curve boxes (the accuracies' are on another page).
bool inCurveGroup(std::size_t slot) {
    return slotRow(static_cast<int>(slot)).axis != CurveAxis::Accuracy;
}

QString captionOf(std::size_t slot) {
    const std::string_view caption = slotRow(static_cast<int>(slot)).caption;
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
}

// The boxes of the force and power curve slots, each in the colour of its curve.
QGroupBox* makeCurveBoxes(std::array<QCheckBox*, kCurveSlots>& curves) {
    const std::array<QColor, kCurveSlots> colours = {
        Qt::black, QColor(0, 128, 0), QColor(0, 0, 128),   QColor(255, 0, 255), Qt::black,
        Qt::black, QColor(0, 128, 0), QColor(255, 0, 0), Qt::black,           Qt::black};
    auto* group = new QGroupBox("choose curves for");
    group->setObjectName("GroupBox1");
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(1);  // compact, so that the chart keeps its height on small screens
    for (size_t slot = 0; slot < curves.size(); ++slot) {
        if (!inCurveGroup(slot)) continue;
        auto* box = new QCheckBox(captionOf(slot));
        box->setObjectName(QString("Wykres%1").arg(slot));
        QPalette palette = box->palette();
        palette.setColor(QPalette::WindowText, colours[slot]);
        box->setPalette(palette);
        layout->addWidget(box);
        curves[slot] = box;
    }
    return group;
}

}  // namespace

QWidget* MainWindow::buildCentral(InputControls& c) {
    auto* central = background(new QWidget);
    central->setObjectName("Background");
    m_chart = new ChartPanel;
    c.axisDescriptions = m_chart->axisSelectors();

    // The sweep row stays above the chart at every window size.
    m_sweepPanel = background(new SweepPanel);
    c.sweepFrom = m_sweepPanel->fromEdit();
    c.sweepTo = m_sweepPanel->toEdit();
    c.pointsPerCurve = m_sweepPanel->pointsBox();
    auto* lower = background(new QWidget);
    auto* lowerColumn = new QVBoxLayout(lower);
    lowerColumn->setContentsMargins(0, 0, 0, 0);
    lowerColumn->setSpacing(4);
    lowerColumn->addWidget(m_sweepPanel);
    auto* lowerRow = new QHBoxLayout;
    lowerRow->setContentsMargins(0, 0, 0, 0);
    m_chartButtons = background(new ChartButtons(*m_chart));
    lowerRow->addWidget(m_chartButtons);
    lowerRow->addWidget(buildNotebook(c), 1);
    lowerColumn->addLayout(lowerRow, 1);

    // Splitters and scroll areas let the window shrink to small screens: the tables scroll,
    // the chart takes the space that is left.
    QScrollArea* top = scrolled(buildTopArea(c), "TopArea");
    auto* left = new QSplitter(Qt::Vertical);
    left->setObjectName("LeftSplitter");
    left->setChildrenCollapsible(false);
    left->addWidget(top);
    left->addWidget(lower);
    left->setStretchFactor(0, 0);
    left->setStretchFactor(1, 1);
    left->setSizes({top->widget()->sizeHint().height(), 10000});

    QScrollArea* right = scrolled(buildRightArea(c), "RightArea");
    right->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    right->setMinimumWidth(right->widget()->sizeHint().width() +
                           right->verticalScrollBar()->sizeHint().width());
    auto* columns = new QSplitter(Qt::Horizontal);
    columns->setObjectName("MainSplitter");
    columns->setChildrenCollapsible(false);
    columns->addWidget(left);
    columns->addWidget(right);
    columns->setStretchFactor(0, 1);
    columns->setStretchFactor(1, 0);

    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 4);
    layout->addWidget(columns);
    return central;
}

QWidget* MainWindow::buildTopArea(InputControls& c) {
    m_motorKind =
        readOnly(makeEdit("Edit1", "Motor chosen for analysis - induction or synchronous"));
    m_motorKind->setText("Induction motor");
    m_calculateButton = new QPushButton("Calculate");
    m_calculateButton->setObjectName("CalculateButton");
    m_calculateButton->setToolTip(
        "Start the calculation (F8, Ctrl+R, or a click on the window's background)");
    connect(m_calculateButton, &QPushButton::clicked, this, &MainWindow::startRun);
    auto* kindColumn = new QVBoxLayout;
    kindColumn->addWidget(m_motorKind);
    kindColumn->addWidget(makeRadioGroup("RadioGroup2", "choose motor geometry",
                                         {"linear", "cylindrical", "spherical"}, c.geometry));
    kindColumn->addWidget(m_calculateButton);
    kindColumn->addStretch();

    c.highestHarmonic = makeList("ComboBox1", kHighestHarmonicItems,
                                 "Highest harmonic order for MMF (rail, stator)");
    m_harmonics = makeMemo("Memo2", {"  CHOOSE ", "  MAX", "STATOR MMF ", " HARMONIC", "   ORDER",
                                     "   TAKEN ", "INTO ACCOUNT"});
    QTextOption centred = m_harmonics->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    m_harmonics->document()->setDefaultTextOption(centred);
    m_harmonics->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_harmonics->setFixedWidth(
        m_harmonics->fontMetrics().horizontalAdvance(" h = -17     Ah = 0000,0") +
        m_harmonics->verticalScrollBar()->sizeHint().width() + 12);
    c.highestHarmonic->setFixedWidth(m_harmonics->width());
    auto* harmonicColumn = new QVBoxLayout;
    harmonicColumn->addWidget(c.highestHarmonic);
    harmonicColumn->addWidget(m_harmonics, 1);

    QStringList domains;
    for (std::string_view item : kDomainItems) domains << qtText(item);

    m_report = makeMemo("Memo1", {"FORCE / TORQUE  ", "BALANCE"});
    // One point below the window's text, so that the report's 32-character lines fit its column.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(std::min(fixed.pointSizeF(), m_report->font().pointSizeF() - 1));
    m_report->setFont(fixed);
    // Wide enough for the numbers of the report; a longer line wraps rather than being cut.
    m_report->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_report->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_report->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_report->setMinimumWidth(
        m_report->fontMetrics().horizontalAdvance(QString(kReportNumberWidth, u'0')) +
        m_report->verticalScrollBar()->sizeHint().width() + 12);

    auto* area = new QWidget;
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addLayout(kindColumn);
    row->addLayout(harmonicColumn);
    row->addWidget(makeCurveBoxes(c.curves));
    row->addWidget(makeRadioGroup("RadioGroup1", "versus", domains, c.domain));
    row->addWidget(m_report, 1);
    return area;
}

QWidget* MainWindow::buildRightArea(InputControls& c) {
    c.parameters =
        makeTable("DaneS", kParameterRows, 2, [](int, int column) { return column == 0; });
    int labelWidth = 0;
    for (std::string_view label : kParameterLabels)
        labelWidth =
            std::max(labelWidth, c.parameters->fontMetrics().horizontalAdvance(qtText(label)));
    // Room for the labels and for the longest value texts of the sample sets.
    c.parameters->setMinimumWidth(
        labelWidth + c.parameters->fontMetrics().horizontalAdvance("1,0471975511") + 16);
    c.reluctivity =
        makeTable("Relukt", 3, 3, [](int row, int column) { return row == 0 || column == 0; });

    c.ni12dGap = makeEdit("ni12d_gap");
    c.ni21dGap = makeEdit("ni21d_gap");

    auto* edits = new QGridLayout;
    edits->setHorizontalSpacing(16);
    edits->setVerticalSpacing(10);
    edits->addWidget(captioned(" ni12d / ni0  of  gap", c.ni12dGap), 0, 0);
    edits->addWidget(captioned("  ni21d / ni0  of  gap", c.ni21dGap), 0, 1);
    for (QWidget* box : {c.ni12dGap, c.ni21dGap})
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance("0,0000000") + 12);

    auto* area = new QWidget;
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 4, 0);
    column->setSpacing(12);
    column->addWidget(c.parameters);
    column->addWidget(c.reluctivity);
    column->addLayout(edits);
    column->addStretch();
    return area;
}

QTabWidget* MainWindow::buildNotebook(InputControls& c) {
    m_notebook = new QTabWidget;
    m_notebook->setObjectName("PageControl1");
    QScrollArea* errors = scrolled(buildErrorsPage(c), "ErrorsPage");
    // The pages are controls, not the window's background.
    for (QWidget* page : {static_cast<QWidget*>(m_chart), static_cast<QWidget*>(errors)})
        page->setAttribute(Qt::WA_NoMousePropagation);
    m_notebook->addTab(m_chart, "Charts");
    m_notebook->addTab(errors, "Errors / Accuracy");
    m_results = new ResultsPage;
    m_results->setAttribute(Qt::WA_NoMousePropagation);
    m_notebook->addTab(m_results, "Results table");
    m_regionsPage = new RegionsPage;
    m_regionsPage->setAttribute(Qt::WA_NoMousePropagation);
    m_regionsPage->setStartingStack([this] { return startingStack(currentInputs()); });
    c.regionTable = m_regionsPage->regionTable();
    c.coilSideTable = m_regionsPage->sideTable();
    c.phaseAngles = m_regionsPage->phaseAnglesEdit();
    m_notebook->addTab(m_regionsPage, "Regions");
    // The table follows the chart while it is shown.
    const auto refresh = [this] {
        if (m_notebook->currentWidget() == m_results)
            m_results->showTable(resultsTable(m_chart->curves(), m_chart->shownContext()));
    };
    connect(m_chart, &ChartPanel::pointsShown, m_results, refresh);
    connect(m_notebook, &QTabWidget::currentChanged, m_results, refresh);
    connect(m_results, &ResultsPage::told, this, &MainWindow::showStatusMessage);
    connect(m_chart, &ChartPanel::told, this, &MainWindow::showStatusMessage);
    return m_notebook;
}

QWidget* MainWindow::buildErrorsPage(InputControls& c) {
    const std::array<const char*, kResultFieldCount> names = {
        "LabeledEdit1", "LabeledEdit2", "LabeledEdit7", "LabeledEdit5",
        "LabeledEdit6", "LE5",          "Edit2",        "Edit3"};
    std::array<QWidget*, kResultFieldCount> fields{};
    for (size_t f = 0; f < names.size(); ++f) {
        QLineEdit* edit = readOnly(makeEdit(names[f]));
        edit->setText(qtText(kResultFieldStartTexts[f]));
        edit->setCursorPosition(0);
        edit->setMinimumWidth(200);
        m_resultFields[f] = edit;
        if (f != static_cast<size_t>(ResultField::PowerFixed) &&
            f != static_cast<size_t>(ResultField::PowerExponent))
            fields[f] = captioned(qtText(kResultFieldCaptions[f]), edit);
    }
    const auto field = [&fields](ResultField f) { return fields[static_cast<size_t>(f)]; };
    // The statistics may say which curves they need: room for the longest such text.
    const int statisticWidth =
        m_resultFields[0]->fontMetrics().horizontalAdvance(
            "undefined: check the curves F/T Maxwell, Lorentz, Material, EM Impulse") +
        24;
    for (ResultField f :
         {ResultField::AverageBalance, ResultField::MaxBalance, ResultField::AverageCoenergy,
          ResultField::PowerFixed})
        m_resultFields[static_cast<size_t>(f)]->setMinimumWidth(statisticWidth);
    // The power statistic in its two notations: one caption over both fields, side by side.
    {
        auto* both = background(new QWidget);
        auto* row = new QHBoxLayout(both);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(m_resultFields[static_cast<size_t>(ResultField::PowerFixed)], 3);
        row->addWidget(m_resultFields[static_cast<size_t>(ResultField::PowerExponent)], 2);
        const auto fixed = static_cast<size_t>(ResultField::PowerFixed);
        fields[fixed] = captioned(qtText(kResultFieldCaptions[fixed]), both);
    }

    c.integrationMethod = makeList("MetodyCalkowania", kIntegrationMethodItems);
    c.besselLimit = makeList("Limit", kBesselLimitItems, "Limit for Bessels funtion approximation");
    c.besselAccuracy = makeList("McDonald", kBesselAccuracyItems, "I and K accuracy");
    c.besselFunctions = makeList("BesselFunctions", kBesselFunctionItems,
                                 "accurate: over the whole range of the model; series: the power "
                                 "series and large-argument forms, whose accuracy and limit are "
                                 "set below");
    c.besselFunctions->setEditable(false);
    c.formulation = makeList("Formulation", kFormulationItems,
                             "physical: each harmonic's layer currents at the frequency the moving "
                             "layer meets, linear results over one fundamental wavelength; legacy: "
                             "the earlier formulation's numbers");
    c.formulation->setEditable(false);
    auto* accuracyI = new QCheckBox(captionOf(slotAt(CurveSlot::AccuracyI)));
    auto* accuracyK = new QCheckBox(captionOf(slotAt(CurveSlot::AccuracyK)));
    accuracyI->setObjectName("Wykres11");
    accuracyK->setObjectName("Wykres12");
    c.curves[slotAt(CurveSlot::AccuracyI)] = accuracyI;
    c.curves[slotAt(CurveSlot::AccuracyK)] = accuracyK;

    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(10);
    grid->addWidget(captioned("Intergration method ...", c.integrationMethod), 0, 0, Qt::AlignTop);
    grid->addWidget(field(ResultField::OdeResidual), 0, 1, 1, 2);
    int row = 1;
    for (ResultField f :
         {ResultField::AverageBalance, ResultField::MaxBalance, ResultField::AverageCoenergy,
          ResultField::PowerFixed})
        grid->addWidget(field(f), row++, 0, 1, 3);

    auto* functionsLabel =
        new QLabel("Bessel functions (the limit and accuracy below apply to the series only)");
    functionsLabel->setBuddy(c.besselFunctions);
    auto* limitLabel = new QLabel(
        "Limit for Bessels fuction argument (for greater arguments are used approximated "
        "functions)");
    limitLabel->setBuddy(c.besselLimit);
    auto* accuracyLabel = new QLabel("Accuracy for I and K functions");
    accuracyLabel->setBuddy(c.besselAccuracy);
    auto* formulationLabel = new QLabel("Formulation of the induction field");
    formulationLabel->setBuddy(c.formulation);
    for (auto [label, list] : {std::pair{formulationLabel, c.formulation},
                               {functionsLabel, c.besselFunctions},
                               {limitLabel, c.besselLimit},
                               {accuracyLabel, c.besselAccuracy}}) {
        grid->addWidget(label, row, 0, 1, 2, Qt::AlignRight);
        grid->addWidget(list, row++, 2, Qt::AlignLeft);
    }
    grid->addWidget(field(ResultField::Lambda), row, 0);
    grid->addWidget(field(ResultField::BetaR), row++, 1);
    grid->addWidget(accuracyI, row++, 0, 1, 3);
    grid->addWidget(accuracyK, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);
    for (int column = 0; column < 3; ++column) grid->setColumnStretch(column, 1);
    return page;
}

// Tab follows the layout: the top row left to right, the parameter column, then the chart
// buttons and the notebook. Read-only fields take no part.
void MainWindow::arrangeTabOrder(const InputControls& c) {
    QList<QWidget*> chain;
    for (QAbstractButton* radio : c.geometry->buttons()) chain << radio;
    chain << m_calculateButton << c.highestHarmonic;
    for (size_t slot = 0; slot < c.curves.size(); ++slot)
        if (inCurveGroup(slot)) chain << c.curves[slot];
    for (QAbstractButton* radio : c.domain->buttons()) chain << radio;
    chain << c.parameters << c.reluctivity << c.ni12dGap << c.ni21dGap << c.sweepFrom << c.sweepTo
          << c.pointsPerCurve;
    for (QWidget* button : m_chartButtons->findChildren<QWidget*>()) chain << button;
    chain << m_notebook->tabBar();
    for (QComboBox* box : c.axisDescriptions) chain << box;
    chain << centralWidget()->findChild<QPushButton*>("Button6") << c.integrationMethod
          << c.formulation << c.besselFunctions << c.besselLimit << c.besselAccuracy
          << c.curves[slotAt(CurveSlot::AccuracyI)] << c.curves[slotAt(CurveSlot::AccuracyK)];
    for (qsizetype i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace emforce
