// The automatic axis titles of the curve chart: what the curves of a run are drawn against.
#include "ui/axis_titles.hpp"

namespace emforce {

CurveGroup curveGroup(int slot) { return slotRow(slot).axis; }

QString seriesTitle(int slot) {
    const std::string_view title = slotRow(slot).title;
    return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

QString bottomAxisTitle(const CurveContext& c) {
    const bool linear = c.geometry == Geometry::Linear;
    switch (c.domain) {
        case Domain::Position:
            return linear ? "position of integration surface in the gap  x, m" : "radius  r, m";
        case Domain::GapWidth:
            return "the gap width  g, m";
        case Domain::LayerWidth:
            return "layer width  a, m";
        case Domain::ThirdCoordinate:
            return c.geometry == Geometry::Spherical ? "polar angle  teta, rad"
                                                     : "coordinate  z, m";
        case Domain::SpeedOrAngle:
            break;
    }
    if (c.induction) return linear ? "relative speed  v/Y, 1/s" : "speed n, 1/s";
    if (linear) return "shift of the MMF axes  y, m";
    return c.geometry == Geometry::Cylindrical ? "load angle  alfa, rad" : "load angle  fi, rad";
}

QString groupAxisTitle(CurveGroup group, Geometry geometry) {
    switch (group) {
        case CurveGroup::ForceTorque:
            return geometry == Geometry::Linear
                       ? "Electromagnetic force  F, N"
                       : QString::fromUtf8("Electromagnetic torque  T, N·m");
        case CurveGroup::Power:
            return "Power losses  P, W";
        case CurveGroup::Accuracy:
            break;
    }
    return "I and K function accuracy, -";
}

}  // namespace emforce
