// Binds the window's input controls to the input record, both ways.
#pragma once

#include <array>

#include "model/input_record.hpp"
#include "model/parameter_reading.hpp"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace emforce {

/// The controls that hold the inputs of a run.
struct InputControls {
    QTableWidget* parameters = nullptr;   ///< DaneS, 22 x 2
    QTableWidget* reluctivity = nullptr;  ///< Relukt, 3 x 3
    QLineEdit* ni12dGap = nullptr;
    QLineEdit* ni21dGap = nullptr;
    QLineEdit* sweepFrom = nullptr;  ///< the ends of the swept variable the domain chooses
    QLineEdit* sweepTo = nullptr;
    QSpinBox* pointsPerCurve = nullptr;
    QComboBox* integrationMethod = nullptr;
    QComboBox* besselAccuracy = nullptr;
    QComboBox* besselLimit = nullptr;
    QComboBox* besselFunctions = nullptr;  ///< not editable: one of kBesselFunctionItems
    QComboBox* formulation = nullptr;      ///< not editable: one of kFormulationItems
    QComboBox* highestHarmonic = nullptr;
    QButtonGroup* geometry = nullptr;  ///< button ids are the Geometry values
    QButtonGroup* domain = nullptr;    ///< button ids are the domain indices
    QAction* induction = nullptr;
    QAction* synchronous = nullptr;
    std::array<QCheckBox*, kCurveSlots> curves{};
    std::array<QComboBox*, 4> axisDescriptions{};
    QButtonGroup* windingPattern = nullptr;  ///< RG of the MMF window; ids are the pattern indices
    /// The tables and the edit of the stack's texts, which a refusal selects (RegionsPage binds
    /// the stack itself).
    QTableWidget* regionTable = nullptr;
    QTableWidget* coilSideTable = nullptr;
    QLineEdit* phaseAngles = nullptr;
};

/// Copies between the controls and the record. Until a winding-pattern selector is attached,
/// the pattern is left as the record holds it.
class InputBinder {
public:
    explicit InputBinder(const InputControls& controls) : m_c(controls) {}

    /// Binds the record's winding pattern to a selector whose button ids are the indices.
    void attachWindingPattern(QButtonGroup* selector) { m_c.windingPattern = selector; }

    /// Shows the record in the controls; a control that already shows its value is untouched.
    void load(const InputRecord& record) const;
    /// Takes every control's text or selection into the record. The From and To fields hold
    /// the range of the variable they were last loaded with; when the domain or the motor kind
    /// has changed since, they then show the range of the new one.
    void store(InputRecord& record) const;

    /// Brings the control that holds a source's text into view (its notebook page, its scroll
    /// area), gives it the focus and selects the text or cell.
    void focus(const InputLocation& where) const;

private:
    void loadSweepRange(const InputRecord& record) const;

    InputControls m_c;
    // The swept variable whose range the From and To fields hold.
    mutable int m_rangeDomain = 4;
    mutable bool m_rangeInduction = true;
};

}  // namespace emforce
