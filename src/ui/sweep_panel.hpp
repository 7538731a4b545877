// The sweep panel: the swept variable with its unit, the From and To of its range, and the points.
#pragma once

#include <QWidget>
#include <optional>

#include "model/input_record.hpp"
#include "run/sweep.hpp"

class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace emforce {

struct CurveContext;

/// The ends the run takes when none are chosen, from the record's texts as they stand; nothing
/// where a text they need does not read.
std::optional<DomainEnds> automaticSweepEnds(const InputRecord& record);

/// How the automatic ends of the record's swept variable follow from the table ("g … 2·g");
/// empty for the induction motor's speed, whose ends are always typed.
QString automaticSweepRule(const InputRecord& record);

/// One row above the chart: "sweep: <variable, unit>", From, To, the rule of the automatic ends
/// and "Points per curve". An empty From or To is automatic: the field then shows the value the
/// run will take, greyed.
class SweepPanel : public QWidget {
    Q_OBJECT
public:
    explicit SweepPanel(QWidget* parent = nullptr);

    [[nodiscard]] QLineEdit* fromEdit() const { return m_from; }
    [[nodiscard]] QLineEdit* toEdit() const { return m_to; }
    [[nodiscard]] QSpinBox* pointsBox() const { return m_points; }

    /// Shows the variable the record sweeps, its automatic ends and their rule.
    void showVariable(const InputRecord& record);
    /// The caption of the swept variable as shown ("the gap width  g, m").
    [[nodiscard]] QString variableText() const;

private:
    QLabel* m_variable = nullptr;
    QLabel* m_rule = nullptr;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QToolButton* m_automatic = nullptr;
    QSpinBox* m_points = nullptr;
};

}  // namespace emforce
