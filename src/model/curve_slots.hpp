// The curve slots of a run: the one table of what each slot computes and how it is shown.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "model/motor_parameters.hpp"

namespace emforce {

/// The curve slots (chart series) of a run, in slot order.
enum class CurveSlot : int {
    Maxwell,
    Lorentz,
    Material,
    Impulse,
    Coenergy,
    Poynting,
    Joule,
    Anisotropy,
    AccuracyI,
    AccuracyK,
};
/// Number of curve slots.
inline constexpr int kCurveSlots = 10;

/// What a slot's values are, and so their unit and the vertical axis they share.
enum class CurveAxis { ForceTorque, Power, Accuracy };

/// The evaluator that computes a slot's values at a point.
enum class SlotEvaluator {
    /// Force or torque by the Maxwell stress tensor on the surface x.
    MaxwellForce,
    /// Force or torque by the Lorentz force density over the layer.
    LorentzForce,
    /// Material (anisotropy) component of the force or torque.
    MaterialForce,
    /// Electromagnetic impulse component.
    ImpulseForce,
    /// Force or torque by the coenergy function.
    CoenergyForce,
    /// Layer power by the Poynting vector at R.
    PoyntingPower,
    /// Layer power by the Joule losses.
    JoulePower,
    /// Anisotropy power and, with an impulse field, the impulse power.
    AnisotropyPower,
    /// Accuracy of the first-kind layer solution of the fundamental.
    AccuracyI,
    /// Accuracy of the second-kind layer solution of the fundamental.
    AccuracyK,
};

/// Number of slot evaluators.
inline constexpr std::size_t kSlotEvaluators = 10;
/// The index of an evaluator, as an array index.
[[nodiscard]] constexpr std::size_t evaluatorAt(SlotEvaluator e) {
    return static_cast<std::size_t>(e);
}

/// One row of the slot table.
struct CurveSlotRow {
    CurveSlot slot;
    /// The series title (chart legend, exports, reports, Python).
    std::string_view title;
    /// The caption of the slot's check box in the window.
    std::string_view caption;
    CurveAxis axis;
    SlotEvaluator evaluator;
    /// Whether the synchronous motor has an evaluator for the slot.
    bool synchronous;
    /// Whether a region stack computes the slot.
    bool stack;
    /// Whether a run keeps the slot's curve for the balance statistics.
    bool statistics;
};

/// The slot table, in slot order.
inline constexpr std::array<CurveSlotRow, kCurveSlots> kCurveSlotTable = {{
    {CurveSlot::Maxwell, "F/T Maxwell", "F/T Maxwell", CurveAxis::ForceTorque,
     SlotEvaluator::MaxwellForce, true, true, true},
    {CurveSlot::Lorentz, "F/T Lorentz", "F/T Lorentz", CurveAxis::ForceTorque,
     SlotEvaluator::LorentzForce, true, true, true},
    {CurveSlot::Material, "F/T material", "F/T Material Anisotropy", CurveAxis::ForceTorque,
     SlotEvaluator::MaterialForce, true, true, true},
    {CurveSlot::Impulse, "Poynting/EM Impulse ", "F/T EM Impulse", CurveAxis::ForceTorque,
     SlotEvaluator::ImpulseForce, true, false, true},
    {CurveSlot::Coenergy, "F/T Coenergy", "F/T coenergy --+--", CurveAxis::ForceTorque,
     SlotEvaluator::CoenergyForce, true, false, true},
    {CurveSlot::Poynting, "P_Poynting", "P by Poynting", CurveAxis::Power,
     SlotEvaluator::PoyntingPower, false, false, true},
    {CurveSlot::Joule, "P_Joule_volume_integral", "P by Joule-Lenz", CurveAxis::Power,
     SlotEvaluator::JoulePower, false, true, true},
    {CurveSlot::Anisotropy, "P_Anisotropy", "P of  Anisotropy", CurveAxis::Power,
     SlotEvaluator::AnisotropyPower, false, false, true},
    {CurveSlot::AccuracyI, "I accuracy", "I function accuracy /1st harm - it is shown in chart",
     CurveAxis::Accuracy, SlotEvaluator::AccuracyI, false, false, false},
    {CurveSlot::AccuracyK, "K accuracy", "K function accuracy /1st harm - it is shown in chart",
     CurveAxis::Accuracy, SlotEvaluator::AccuracyK, false, false, false},
}};

/// The slots of the tabled point's report, in its order: Maxwell and the three parts whose sum
/// it is.
inline constexpr std::array<CurveSlot, 4> kTabledSlots = {CurveSlot::Maxwell, CurveSlot::Lorentz,
                                                          CurveSlot::Material, CurveSlot::Impulse};

/// The index of a slot.
[[nodiscard]] constexpr int slotIndex(CurveSlot s) { return static_cast<int>(s); }
/// The index of a slot, as an array index.
[[nodiscard]] constexpr std::size_t slotAt(CurveSlot s) { return static_cast<std::size_t>(s); }
/// The row of slot 0..kCurveSlots − 1.
[[nodiscard]] constexpr const CurveSlotRow& slotRow(int slot) {
    return kCurveSlotTable[static_cast<std::size_t>(slot)];
}
/// The row of a slot.
[[nodiscard]] constexpr const CurveSlotRow& slotRow(CurveSlot s) { return slotRow(slotIndex(s)); }

/// Whether the motor of a run (induction or synchronous) computes a slot.
[[nodiscard]] constexpr bool motorComputes(int slot, bool induction) {
    return induction || slotRow(slot).synchronous;
}

/// The unit of an axis in a geometry: N (linear) or N·m, W, or - for the accuracies.
[[nodiscard]] constexpr std::string_view axisUnit(CurveAxis axis, Geometry geometry) {
    switch (axis) {
        case CurveAxis::ForceTorque:
            return geometry == Geometry::Linear ? "N" : "N·m";
        case CurveAxis::Power:
            return "W";
        case CurveAxis::Accuracy:
            break;
    }
    return "-";
}

// The table is in slot order.
static_assert([] {
    for (int k = 0; k < kCurveSlots; ++k)
        if (slotIndex(kCurveSlotTable[static_cast<std::size_t>(k)].slot) != k) return false;
    return true;
}());

}  // namespace emforce
