// The sweep panel: the swept variable with its unit, the From and To of its range, and the points.
#include "ui/sweep_panel.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "model/number_format.hpp"
#include "model/parameter_reading.hpp"
#include "ui/axis_titles.hpp"

namespace emforce {

namespace {

// The parameter-table rows the automatic ends are made of.
constexpr int kRowR = 1, kRowG = 2, kRowA = 3, kRowZ = 5, kRowKp = 12;

bool sweepsSpeed(const InputRecord& r) { return r.domain == 4 && r.induction; }

// A value as the window writes numbers, short enough for a field.
QString shortNumber(double v) { return QString::number(v, 'g', 6).replace('.', ','); }

}  // namespace

std::optional<DomainEnds> automaticSweepEnds(const InputRecord& r) {
    if (r.domain < 0 || r.domain > 4) return std::nullopt;
    try {
        MotorParameters p;
        p.R = toReal(r.value(kRowR));
        p.kp = toReal(r.value(kRowKp));
        p.minSpeed = toReal(r.minSpeed);
        p.maxSpeed = toReal(r.maxSpeed);
        const DomainEnds ends =
            automaticEnds(static_cast<Domain>(r.domain), p, toReal(r.value(kRowG)),
                          toReal(r.value(kRowA)), toReal(r.value(kRowZ)), r.induction);
        if (!std::isfinite(ends.from) || !std::isfinite(ends.to)) return std::nullopt;
        return ends;
    } catch (const CalcError&) {
        return std::nullopt;
    }
}

QString automaticSweepRule(const InputRecord& r) {
    const bool linear = r.geometry == Geometry::Linear;
    switch (r.domain) {
        case 0:
            return linear ? "x0 + a … x0 + a + g" : "R … R + g";
        case 1:
            return QString::fromUtf8("g … 2·g");
        case 2:
            return QString::fromUtf8("a … 0,99·R");
        case 3:
            return r.geometry == Geometry::Spherical ? QString::fromUtf8("0,1·teta … 1,1·teta")
                                                     : QString::fromUtf8("0,1·z … 1,1·z");
        default:
            return r.induction ? QString() : QString::fromUtf8("−π/kp … π/kp");
    }
}

SweepPanel::SweepPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("SweepPanel");
    m_variable = new QLabel;
    m_variable->setObjectName("SweepVariable");
    m_from = new QLineEdit;
    m_from->setObjectName("LabeledEdit3");
    m_to = new QLineEdit;
    m_to->setObjectName("LabeledEdit4");
    for (QLineEdit* edit : {m_from, m_to})
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("-0,00000000") + 12);
    m_automatic = new QToolButton;
    m_automatic->setObjectName("SweepAutomatic");
    m_automatic->setText("auto");
    m_automatic->setToolTip("Empties From and To: the run takes the automatic ends");
    connect(m_automatic, &QToolButton::clicked, this, [this] {
        m_from->clear();
        m_to->clear();
    });
    m_rule = new QLabel;
    m_rule->setObjectName("SweepRule");
    m_points = new QSpinBox;
    m_points->setObjectName("CSpinEdit2");
    // Any count a run accepts can be typed; one beyond is never cut silently to fewer digits.
    m_points->setRange(1, kMaxPointsPerCurve);
    m_points->setSingleStep(10);
    m_points->setToolTip("The points of each curve are this count plus one (both ends)");
    auto* from = new QLabel("From");
    from->setBuddy(m_from);
    auto* to = new QLabel("To");
    to->setBuddy(m_to);
    auto* points = new QLabel("Points per curve = ");
    points->setBuddy(m_points);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(m_variable);
    row->addSpacing(6);
    row->addWidget(from);
    row->addWidget(m_from, 1);
    row->addWidget(to);
    row->addWidget(m_to, 1);
    row->addWidget(m_automatic);
    row->addWidget(m_rule);
    row->addStretch();
    row->addWidget(points);
    row->addWidget(m_points);
}

void SweepPanel::showVariable(const InputRecord& r) {
    const auto domain = static_cast<Domain>(std::clamp(r.domain, 0, 4));
    m_variable->setText(
        "sweep: <b>" + bottomAxisTitle({domain, r.geometry, r.induction}).toHtmlEscaped() + "</b>");
    const bool speed = sweepsSpeed(r);
    const QString rule = automaticSweepRule(r);
    m_automatic->setVisible(!speed);
    m_rule->setVisible(!speed);
    m_rule->setText("empty: " + rule);
    const std::optional<DomainEnds> ends = speed ? std::nullopt : automaticSweepEnds(r);
    m_from->setPlaceholderText(ends ? shortNumber(ends->from) : QString());
    m_to->setPlaceholderText(ends ? shortNumber(ends->to) : QString());
    const QString hint = speed ? QString("The speed range of the curves")
                               : "Empty: the automatic end (" + rule + ") the field shows greyed";
    m_from->setToolTip(hint);
    m_to->setToolTip(hint);
}

QString SweepPanel::variableText() const {
    return QString(m_variable->text()).remove("<b>").remove("</b>");
}

}  // namespace emforce
