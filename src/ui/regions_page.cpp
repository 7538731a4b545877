// The notebook page "Regions": the record's stack of regions, its excitation and coil sides.
#include "ui/regions_page.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/coil_winding.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

constexpr int kExtentColumn = kRegionColumns;

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The text a cell takes when a new kind makes it used: a value every machine may have.
std::string startText(int column) {
    switch (column) {
        case kRegionWidth:
            return "0,005";
        case kRegionSigma:
        case kRegionNu12Re:
        case kRegionNu12Im:
        case kRegionNu21Re:
        case kRegionNu21Im:
            return "0";
        default:
            return "1";
    }
}

QTableWidget* makeTable(const char* name, const QStringList& titles) {
    auto* table = new QTableWidget(0, static_cast<int>(titles.size()));
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(titles);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    return table;
}

QPushButton* makeButton(const char* name, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setToolTip(hint);
    return button;
}

}  // namespace

RegionsPage::RegionsPage(QWidget* parent) : QWidget(parent) {
    setObjectName("RegionsPage");
    m_noStack = new QCheckBox("no stack (the one-layer model of the table)");
    m_noStack->setObjectName("NoStack");
    m_noStack->setToolTip(
        "Checked: the run takes the machine of the parameter table. Unchecked: the stack of "
        "regions below; the table still gives the geometry, p (k), f1, the speed and l");

    QStringList regionTitles;
    for (std::string_view title : kRegionColumnTitles) regionTitles << qtText(title);
    regionTitles << "from … to [m]";
    m_regions = makeTable("RegionTable", regionTitles);
    QStringList sideTitles;
    for (std::string_view title : kSideColumnTitles) sideTitles << qtText(title);
    m_sides = makeTable("CoilSideTable", sideTitles);

    m_addLayer =
        makeButton("AddLayer", "add layer", "A layer before the selected one, or before the gap");
    m_removeLayer = makeButton("RemoveLayer", "remove layer", "Remove the selected layer");
    auto* addSide =
        makeButton("AddCoilSide", "add coil side", "A copy of the selected side after it");
    m_removeSide = makeButton("RemoveCoilSide", "remove coil side", "Remove the selected side");
    m_phaseAngles = new QLineEdit;
    m_phaseAngles->setObjectName("PhaseAngles");
    m_phaseAngles->setToolTip(
        "The time angle of each phase current, in radians, separated by \";\"");
    m_highestOrder = new QSpinBox;
    m_highestOrder->setObjectName("HighestOrder");
    m_highestOrder->setRange(1, kMaxWindingOrder);
    m_highestOrder->setToolTip("The orders 1 … N of the winding's current-density waves");

    m_regions->setToolTip("The regions from the core outwards; the layers move with the rotor");
    auto* layerRow = new QHBoxLayout;
    layerRow->addWidget(m_noStack);
    layerRow->addStretch();
    layerRow->addWidget(m_addLayer);
    layerRow->addWidget(m_removeLayer);
    auto* sideTitleRow = new QHBoxLayout;
    sideTitleRow->addWidget(
        new QLabel("Coil sides of the excitation (angles electrical: a pole pair spans 2·pi)"));
    sideTitleRow->addStretch();
    sideTitleRow->addWidget(addSide);
    sideTitleRow->addWidget(m_removeSide);
    auto* anglesLabel = new QLabel("phase angles [rad]");
    anglesLabel->setBuddy(m_phaseAngles);
    auto* orderLabel = new QLabel("highest order");
    orderLabel->setBuddy(m_highestOrder);
    auto* sideRow = new QHBoxLayout;
    sideRow->addWidget(anglesLabel);
    sideRow->addWidget(m_phaseAngles, 1);
    sideRow->addWidget(orderLabel);
    sideRow->addWidget(m_highestOrder);

    m_stackParts = new QWidget;
    auto* parts = new QVBoxLayout(m_stackParts);
    parts->setContentsMargins(0, 0, 0, 0);
    parts->addWidget(m_regions, 4);
    parts->addLayout(sideTitleRow);
    parts->addWidget(m_sides, 2);
    parts->addLayout(sideRow);

    auto* column = new QVBoxLayout(this);
    column->addLayout(layerRow);
    column->addWidget(m_stackParts, 1);

    connect(m_noStack, &QCheckBox::toggled, this, [this](bool none) {
        if (m_showing) return;
        if (!none && m_texts.regions.empty() && m_starting) {
            m_texts = stackTexts(m_starting());
            showTexts();
        }
        setStackUsed(!none);
        Q_EMIT edited();
    });
    connect(m_regions, &QTableWidget::cellChanged, this, &RegionsPage::regionCellChanged);
    connect(m_sides, &QTableWidget::cellChanged, this, &RegionsPage::sideCellChanged);
    connect(m_phaseAngles, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_texts.phaseAngles = text.toStdString();
        Q_EMIT edited();
    });
    connect(m_highestOrder, &QSpinBox::valueChanged, this, [this](int order) {
        if (m_showing) return;
        m_texts.highestOrder = order;
        Q_EMIT edited();
    });
    connect(m_addLayer, &QPushButton::clicked, this, [this] {
        const int row = m_regions->currentRow();
        changeRegions([&] {
            insertLayer(m_texts, row >= 1 ? row : static_cast<int>(m_texts.regions.size()) - 3);
        });
    });
    connect(m_removeLayer, &QPushButton::clicked, this, [this] {
        const int row = m_regions->currentRow();
        changeRegions([&] { removeLayer(m_texts, row); });
    });
    connect(addSide, &QPushButton::clicked, this, [this] {
        const int row = m_sides->currentRow();
        insertSide(m_texts, row >= 0 ? row + 1 : static_cast<int>(m_texts.sides.size()));
        showSides();
        Q_EMIT edited();
    });
    connect(m_removeSide, &QPushButton::clicked, this, [this] {
        const int row = m_sides->currentRow();
        if (row < 0 || row >= static_cast<int>(m_texts.sides.size())) return;
        m_texts.sides.erase(m_texts.sides.begin() + row);
        showSides();
        Q_EMIT edited();
    });
    m_noStack->setChecked(true);
    setStackUsed(false);
}

void RegionsPage::load(const std::optional<RegionStack>& stack, Geometry geometry) {
    m_geometry = geometry;
    {
        const QSignalBlocker quiet(m_noStack);
        m_noStack->setChecked(!stack);
    }
    setStackUsed(stack.has_value());
    if (!stack) return;
    try {
        if (readStackTexts(m_texts, geometry) == *stack) {
            showExtents();
            return;
        }
    } catch (const CalcError&) {
        // Texts that do not read are replaced by those of the record's stack.
    }
    m_texts = stackTexts(*stack);
    showTexts();
}

void RegionsPage::store(InputRecord& record) {
    if (record.geometry != m_geometry) {
        m_geometry = record.geometry;
        showExtents();
    }
    if (m_noStack->isChecked()) {
        record.stack.reset();
        return;
    }
    try {
        record.stack = readStackTexts(m_texts, m_geometry);
    } catch (const CalcError&) {
        // problem() names the text; the record keeps the stack it had.
    }
}

std::optional<InputProblem> RegionsPage::problem() const {
    if (m_noStack->isChecked()) return std::nullopt;
    try {
        (void)readStackTexts(m_texts, m_geometry);
    } catch (const InputError& e) {
        return InputProblem{e.what(), e.where()};
    } catch (const CalcError& e) {
        return InputProblem{e.what(), std::nullopt};
    }
    return std::nullopt;
}

void RegionsPage::setStackUsed(bool used) {
    for (QWidget* part :
         {m_stackParts, static_cast<QWidget*>(m_addLayer), static_cast<QWidget*>(m_removeLayer)})
        part->setEnabled(used);
}

void RegionsPage::showTexts() {
    showRegions();
    showSides();
}

void RegionsPage::showRegions() {
    m_showing = true;
    const int rows = static_cast<int>(m_texts.regions.size());
    m_regions->setRowCount(rows);
    const QPalette palette = m_regions->palette();
    for (int row = 0; row < rows; ++row) {
        const auto& texts = m_texts.regions[static_cast<size_t>(row)];
        const RegionRow kind = regionRow(m_texts, row);
        for (int column = 0; column <= kExtentColumn; ++column) {
            auto* item = new QTableWidgetItem(
                column < kRegionColumns ? QString::fromStdString(texts[static_cast<size_t>(column)])
                                        : QString());
            const bool editable = column < kRegionColumns && column != kRegionKind &&
                                  (column != kRegionName || kind == RegionRow::Layer) &&
                                  regionCellUsed(kind, texts[kRegionKind], column);
            if (!editable) {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                if (column >= kRegionWidth && column < kRegionColumns)
                    item->setBackground(palette.color(QPalette::Window));
            }
            m_regions->setItem(row, column, item);
        }
        m_regions->removeCellWidget(row, kRegionKind);
        const std::vector<std::string_view> kinds = regionKinds(kind);
        if (kinds.empty()) continue;
        auto* box = new QComboBox;
        box->setObjectName(QString("RegionKind%1").arg(row));
        for (std::string_view k : kinds) box->addItem(qtText(k));
        box->setCurrentText(QString::fromStdString(texts[kRegionKind]));
        connect(box, &QComboBox::currentTextChanged, this,
                [this, row](const QString& text) { kindChosen(row, text); });
        m_regions->setCellWidget(row, kRegionKind, box);
    }
    // The matrix columns only where a layer is anisotropic: the rest fits the page.
    bool anisotropic = false;
    for (const auto& texts : m_texts.regions)
        anisotropic = anisotropic || texts[kRegionKind] == "anisotropic";
    for (int column = kRegionNu1; column <= kRegionNu21Im; ++column)
        m_regions->setColumnHidden(column, !anisotropic);
    m_showing = false;
    showExtents();
}

void RegionsPage::showSides() {
    m_showing = true;
    m_sides->setRowCount(static_cast<int>(m_texts.sides.size()));
    for (int row = 0; row < m_sides->rowCount(); ++row)
        for (int column = 0; column < kSideColumns; ++column)
            m_sides->setItem(
                row, column,
                new QTableWidgetItem(QString::fromStdString(
                    m_texts.sides[static_cast<size_t>(row)][static_cast<size_t>(column)])));
    m_phaseAngles->setText(QString::fromStdString(m_texts.phaseAngles));
    m_highestOrder->setValue(m_texts.highestOrder);
    m_showing = false;
}

// Where each region lies, while the texts read.
void RegionsPage::showExtents() {
    std::vector<std::string> extents;
    try {
        extents = regionExtents(readStackTexts(m_texts, m_geometry), m_geometry);
    } catch (const CalcError&) {
        extents.assign(m_texts.regions.size(), std::string());
    }
    m_showing = true;
    for (int row = 0; row < m_regions->rowCount() && row < static_cast<int>(extents.size()); ++row)
        m_regions->item(row, kExtentColumn)
            ->setText(QString::fromStdString(extents[static_cast<size_t>(row)]));
    m_showing = false;
}

void RegionsPage::regionCellChanged(int row, int column) {
    if (m_showing || column >= kRegionColumns) return;
    m_texts.regions[static_cast<size_t>(row)][static_cast<size_t>(column)] =
        m_regions->item(row, column)->text().toStdString();
    showExtents();
    Q_EMIT edited();
}

void RegionsPage::sideCellChanged(int row, int column) {
    if (m_showing) return;
    m_texts.sides[static_cast<size_t>(row)][static_cast<size_t>(column)] =
        m_sides->item(row, column)->text().toStdString();
    Q_EMIT edited();
}

// A new kind empties the cells it does not use and starts those it newly uses.
void RegionsPage::kindChosen(int row, const QString& kindText) {
    if (m_showing) return;
    const std::string kind = kindText.toStdString();
    const RegionRow what = regionRow(m_texts, row);
    changeRegions([&] {
        auto& texts = m_texts.regions[static_cast<size_t>(row)];
        texts[kRegionKind] = kind;
        for (int column = kRegionWidth; column < kRegionColumns; ++column) {
            std::string& text = texts[static_cast<size_t>(column)];
            if (!regionCellUsed(what, kind, column))
                text.clear();
            else if (text.empty())
                text = startText(column);
        }
    });
}

// The view deletes the kind lists it replaces later, so the one reporting a change may do so.
void RegionsPage::changeRegions(const std::function<void()>& change) {
    const int current = m_regions->currentRow();
    change();
    showRegions();
    m_regions->setCurrentCell(std::min(current, m_regions->rowCount() - 1), kRegionName);
    Q_EMIT edited();
}

}  // namespace emforce
