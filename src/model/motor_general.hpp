// The motor model base: the parameter reading, the last curve and the radial-function slots.
#pragma once

#include <functional>
#include <vector>

#include "model/input_record.hpp"
#include "model/motor_parameters.hpp"
#include "model/parameter_reading.hpp"
#include "numerics/integration.hpp"
#include "numerics/radial_functions.hpp"

namespace emforce {

/// A complex-valued closure of the six model arguments, the companion of Evaluator.
using ComplexEvaluator = std::function<Complex(const double& kp, const double& x, const double& g,
                                               const double& a, const double& z, const double& n)>;

/// Base of the two motor classes, over the real type, the complex type and the real- and
/// complex-valued evaluator closure types. It has no virtual operations: its behaviour per
/// geometry lives in the radial-function slots that every reading fills.
template <class Real, class Cplx, class RealEvaluator, class CplxEvaluator>
class MotorGeneralClass {
public:
    /// The motor reads the parameters and spectra of `data`, which outlives it.
    explicit MotorGeneralClass(ModelData& data) : m_data(&data) {}

    /// Converts the whole record into the parameters, rebuilds the spectra, copies the point
    /// count and fills the slots for the geometry and motor kind. Throws CalcError on a text
    /// that does not convert or a floating-point fault; ExitRequested when the layer question
    /// is answered Yes.
    void readParameters(InputRecord& record, const QuestionCallback& ask) {
        MotorParameters& p = m_data->params;
        readParameterSources(record, p);
        m_pointsPerCurve = p.pointsPerCurve;
        rebuildSpectra(record, *m_data);
        p.geometry = record.geometry;
        m_slots = selectRadialSlots(
            p.geometry, p.induction,
            {p.besselAccuracy, p.besselLimit, m_tabulateGamma, p.besselFunctions});
        finishReading(record, p, ask);
    }

    /// Whether the Bessel series of this object keep their Γ values per order (true by default);
    /// takes effect now and at every later reading.
    void setGammaTabulation(bool tabulate) {
        m_tabulateGamma = tabulate;
        BesselSettings b = m_slots.besselSettings();
        b.tabulateGamma = tabulate;
        m_slots = RadialSlots(m_slots.gapFamily(), m_slots.layerFamily(), b);
    }

    /// The point count of the last reading; it bounds the sweep of a curve.
    [[nodiscard]] int pointsPerCurve() const { return m_pointsPerCurve; }
    /// Swept values and evaluator values of the last curve drawn with this object.
    [[nodiscard]] const std::vector<Real>& curveX() const { return m_curveX; }
    [[nodiscard]] const std::vector<Real>& curveY() const { return m_curveY; }
    std::vector<Real>& curveX() { return m_curveX; }
    std::vector<Real>& curveY() { return m_curveY; }
    /// The radial-function slots of the last reading.
    [[nodiscard]] const RadialSlots& slots() const { return m_slots; }
    [[nodiscard]] const ModelData& data() const { return *m_data; }
    [[nodiscard]] const MotorParameters& params() const { return m_data->params; }

protected:
    ModelData* m_data;
    int m_pointsPerCurve = 0;
    std::vector<Real> m_curveX;
    std::vector<Real> m_curveY;
    RadialSlots m_slots;
    bool m_tabulateGamma = true;
};

}  // namespace emforce
