// Binds the window's input controls to the input record, both ways.
#include "ui/input_binder.hpp"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>

#include "model/number_format.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

QString qtText(const std::string& text) { return QString::fromStdString(text); }
std::string recordText(const QString& text) { return text.toStdString(); }

void loadCell(QTableWidget* table, int row, int column, const std::string& text) {
    QTableWidgetItem* item = table->item(row, column);
    if (item->text() != qtText(text)) item->setText(qtText(text));
}

void loadText(QLineEdit* edit, const std::string& text) {
    if (edit->text() != qtText(text)) edit->setText(qtText(text));
}

// A text that is one of the items selects it; any other is typed into the edit line.
void loadText(QComboBox* box, const std::string& text) {
    const QString wanted = qtText(text);
    if (box->currentText() == wanted) return;
    const int index = box->findText(wanted);
    if (index >= 0)
        box->setCurrentIndex(index);
    else
        box->setEditText(wanted);
}

// An index of -1 stands for a typed text that is none of the items; it keeps what is typed.
void loadIndex(QComboBox* box, int index) {
    if (box->findText(box->currentText()) != index) box->setCurrentIndex(index);
}

// A list without an edit line shows a text that is none of its items as no selection.
void loadChoice(QComboBox* box, const std::string& text) {
    box->setCurrentIndex(box->findText(qtText(text)));
}

// Shows the notebook page and the part of every scroll area that hold a control, or the part
// `part` of it (in its own coordinates) where one is given.
void reveal(QWidget* control, const QRect& part = {}) {
    for (QWidget* w = control; w != nullptr; w = w->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
        if (tabs) tabs->setCurrentWidget(w);
    }
    const QRect shown = part.isValid() ? part : control->rect();
    for (QWidget* w = control->parentWidget(); w != nullptr; w = w->parentWidget()) {
        auto* area = qobject_cast<QScrollArea*>(w);
        if (!area || !area->widget() || !area->widget()->isAncestorOf(control)) continue;
        const QPoint centre = control->mapTo(area->widget(), shown.center());
        area->ensureVisible(centre.x(), centre.y(), shown.width() / 2 + 8, shown.height() / 2 + 8);
    }
}

void loadPoints(QSpinBox* box, const std::string& text) {
    try {
        box->setValue(toInteger(text));
    } catch (const CalcError&) {
        box->setValue(10);
    }
}

}  // namespace

void InputBinder::load(const InputRecord& r) const {
    for (int row = 0; row < kParameterRows; ++row)
        for (int column = 0; column < 2; ++column)
            loadCell(m_c.parameters, row, column,
                     r.parameterTable[static_cast<size_t>(row)][static_cast<size_t>(column)]);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            loadCell(m_c.reluctivity, row, column,
                     r.reluctivityTable[static_cast<size_t>(row)][static_cast<size_t>(column)]);
    loadText(m_c.ni12dGap, r.ni12dGap);
    loadText(m_c.ni21dGap, r.ni21dGap);
    loadSweepRange(r);
    loadPoints(m_c.pointsPerCurve, r.pointsPerCurve);
    loadText(m_c.integrationMethod, r.integrationMethod);
    loadText(m_c.besselAccuracy, r.besselAccuracy);
    loadText(m_c.besselLimit, r.besselLimit);
    loadChoice(m_c.besselFunctions, r.besselFunctions);
    loadChoice(m_c.formulation, r.formulation);
    loadText(m_c.highestHarmonic, r.highestHarmonic);
    if (QAbstractButton* b = m_c.geometry->button(static_cast<int>(r.geometry)))
        b->setChecked(true);
    if (QAbstractButton* b = m_c.domain->button(r.domain)) b->setChecked(true);
    QAbstractButton* pattern =
        m_c.windingPattern ? m_c.windingPattern->button(r.windingPattern) : nullptr;
    if (pattern) pattern->setChecked(true);
    (r.induction ? m_c.induction : m_c.synchronous)->setChecked(true);
    for (size_t slot = 0; slot < m_c.curves.size(); ++slot)
        m_c.curves[slot]->setChecked(r.curves[slot]);
    for (size_t k = 0; k < m_c.axisDescriptions.size(); ++k)
        loadIndex(m_c.axisDescriptions[k], r.axisDescriptions[k]);
}

void InputBinder::store(InputRecord& r) const {
    for (int row = 0; row < kParameterRows; ++row)
        for (int column = 0; column < 2; ++column)
            r.parameterTable[static_cast<size_t>(row)][static_cast<size_t>(column)] =
                recordText(m_c.parameters->item(row, column)->text());
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            r.reluctivityTable[static_cast<size_t>(row)][static_cast<size_t>(column)] =
                recordText(m_c.reluctivity->item(row, column)->text());
    r.ni12dGap = recordText(m_c.ni12dGap->text());
    r.ni21dGap = recordText(m_c.ni21dGap->text());
    const std::array<std::string*, 2> range = r.sweepRangeTexts(m_rangeDomain, m_rangeInduction);
    *range[0] = recordText(m_c.sweepFrom->text());
    *range[1] = recordText(m_c.sweepTo->text());
    r.pointsPerCurve = std::to_string(m_c.pointsPerCurve->value());
    r.integrationMethod = recordText(m_c.integrationMethod->currentText());
    r.besselAccuracy = recordText(m_c.besselAccuracy->currentText());
    r.besselLimit = recordText(m_c.besselLimit->currentText());
    r.besselFunctions = recordText(m_c.besselFunctions->currentText());
    r.formulation = recordText(m_c.formulation->currentText());
    r.highestHarmonic = recordText(m_c.highestHarmonic->currentText());
    r.geometry = static_cast<Geometry>(m_c.geometry->checkedId());
    r.domain = m_c.domain->checkedId();
    if (m_c.windingPattern) r.windingPattern = m_c.windingPattern->checkedId();
    r.induction = m_c.induction->isChecked();
    for (size_t slot = 0; slot < m_c.curves.size(); ++slot)
        r.curves[slot] = m_c.curves[slot]->isChecked();
    for (size_t k = 0; k < m_c.axisDescriptions.size(); ++k)
        r.axisDescriptions[k] =
            m_c.axisDescriptions[k]->findText(m_c.axisDescriptions[k]->currentText());
    if (r.domain != m_rangeDomain || r.induction != m_rangeInduction) loadSweepRange(r);
}

void InputBinder::loadSweepRange(const InputRecord& r) const {
    m_rangeDomain = r.domain;
    m_rangeInduction = r.induction;
    const std::array<const std::string*, 2> range = r.sweepRangeTexts(r.domain, r.induction);
    loadText(m_c.sweepFrom, *range[0]);
    loadText(m_c.sweepTo, *range[1]);
}

void InputBinder::focus(const InputLocation& where) const {
    QWidget* control = nullptr;
    QLineEdit* text = nullptr;
    switch (where.source) {
        case InputSource::ParameterTable:
        case InputSource::ReluctivityTable:
        case InputSource::RegionTable:
        case InputSource::CoilSideTable: {
            QTableWidget* table = m_c.parameters;
            if (where.source == InputSource::ReluctivityTable) table = m_c.reluctivity;
            if (where.source == InputSource::RegionTable) table = m_c.regionTable;
            if (where.source == InputSource::CoilSideTable) table = m_c.coilSideTable;
            table->setCurrentCell(where.row, where.column);
            QTableWidgetItem* cell = table->item(where.row, where.column);
            QRect part = table->visualItemRect(cell);
            part.moveTopLeft(table->viewport()->mapTo(table, part.topLeft()));
            reveal(table, part);
            control = table;
            break;
        }
        case InputSource::Ni12dGap:
            control = text = m_c.ni12dGap;
            break;
        case InputSource::Ni21dGap:
            control = text = m_c.ni21dGap;
            break;
        case InputSource::MinSpeed:
        case InputSource::SweepFrom:
            control = text = m_c.sweepFrom;
            break;
        case InputSource::MaxSpeed:
        case InputSource::SweepTo:
            control = text = m_c.sweepTo;
            break;
        case InputSource::PointsPerCurve:
            control = m_c.pointsPerCurve;
            break;
        case InputSource::IntegrationMethod:
            control = m_c.integrationMethod;
            break;
        case InputSource::BesselAccuracy:
            control = m_c.besselAccuracy;
            break;
        case InputSource::BesselLimit:
            control = m_c.besselLimit;
            break;
        case InputSource::BesselFunctions:
            control = m_c.besselFunctions;
            break;
        case InputSource::Formulation:
            control = m_c.formulation;
            break;
        case InputSource::HighestHarmonic:
            control = m_c.highestHarmonic;
            break;
        case InputSource::PhaseAngles:
            control = text = m_c.phaseAngles;
            break;
    }
    if (auto* box = qobject_cast<QComboBox*>(control)) text = box->lineEdit();
    if (!qobject_cast<QTableWidget*>(control)) reveal(control);
    control->setFocus(Qt::OtherFocusReason);
    if (text) text->selectAll();
    if (auto* spin = qobject_cast<QSpinBox*>(control)) spin->selectAll();
}

}  // namespace emforce
