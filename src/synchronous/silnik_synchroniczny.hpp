// The synchronous motor: the gap field of the stator and rotor MMF sheets and its force evaluators.
#pragma once

#include <array>
#include <cstddef>

#include "model/motor_general.hpp"
#include "numerics/complex.hpp"
#include "numerics/integration.hpp"

namespace emforce {

/// The field coefficients of one harmonic: c0 and c1 weight the gap solutions of the first and
/// second root in the field of the stator sheet, c2 and c3 the same in that of the rotor sheet.
struct GapCoefficients {
    Complex c0, c1, c2, c3;
};

/// Normal flux densities (bs, br) and tangential field strengths (hs, hr) of the stator and
/// rotor sheets, per unit MMF amplitude, at one point of the gap.
struct GapFields {
    Complex bs, br, hs, hr;
};

/// The synchronous motor model. The rotor surface at r = R and the stator surface at r = R + g
/// are infinitely permeable and each carries an MMF sheet; only the gap between them is solved.
/// Every field operation takes (kh, x, g, a, θ, y) by reference, kh = kp·h, so that it can be
/// handed to the integration routine unchanged; θ is read only in the spherical geometry.
/// The roots of the last harmonic solved are kept as scratch values, so one object must not
/// be used by two threads at once; copies are independent.
class SilnikSynchroniczny : public MotorGeneralClass<double, Complex, Evaluator, ComplexEvaluator> {
public:
    /// How the evaluators obtain the fields: Literal solves the roots and coefficients again in
    /// every point operation; Reuse solves them once per harmonic and point (and shares the θ
    /// nodes of the spherical integrals). Both give the same numbers.
    enum class EvaluationMode { Literal, Reuse };

    /// The motor reads the parameters and spectra of `data`, which outlives it.
    explicit SilnikSynchroniczny(ModelData& data);

    /// Selects how the evaluators obtain the fields; Reuse by default.
    void setEvaluationMode(EvaluationMode mode) { m_mode = mode; }
    [[nodiscard]] EvaluationMode evaluationMode() const { return m_mode; }

    /// Gap anisotropy term ρ of the last harmonic solved.
    [[nodiscard]] const Complex& rho() const { return m_rho; }
    /// First gap root (the + sign before the square root).
    [[nodiscard]] const Complex& mu1() const { return m_mu1; }
    /// Second gap root.
    [[nodiscard]] const Complex& mu2() const { return m_mu2; }
    /// Shift δ added to a root before the derivative slot is called: 1 in the spherical
    /// geometry, else 0.
    [[nodiscard]] double lambdaShift() const { return m_lambdaShift; }

    /// Solves the gap roots of harmonic kh (at θ in the spherical geometry) into the scratch
    /// values ρ, μ1, μ2 and δ.
    void solveGapRoots(const double& kh, const double& x, const double& g, const double& a,
                       const double& theta, const double& y);
    /// Solves the roots, then the coefficients that make each sheet's tangential field zero at
    /// the opposite iron surface and −kh/L at its own.
    GapCoefficients gapCoefficients(const double& kh, const double& x, const double& g,
                                    const double& a, const double& theta, const double& y);
    /// The boundary functional Q(μ, r) = j·kh·ν21d·P(μ, r) + s(r)·ν2d·P′(μ + δ, r) of the
    /// solution with root μ, with s = L/L′; it is −L times the tangential field. Reads the
    /// scratch δ, so the roots must have been solved.
    [[nodiscard]] Complex boundaryFunctional(const Complex& mu, const double& r, const double& kh,
                                             const double& theta) const;

    /// Normal flux density of the stator sheet at r = x.
    Complex statorNormalFlux(const double& kh, const double& x, const double& g, const double& a,
                             const double& theta, const double& y);
    /// Normal flux density of the rotor sheet at r = x.
    Complex rotorNormalFlux(const double& kh, const double& x, const double& g, const double& a,
                            const double& theta, const double& y);
    /// Tangential field strength of the stator sheet at r = x.
    Complex statorTangentialField(const double& kh, const double& x, const double& g,
                                  const double& a, const double& theta, const double& y);
    /// Tangential field strength of the rotor sheet at r = x.
    Complex rotorTangentialField(const double& kh, const double& x, const double& g,
                                 const double& a, const double& theta, const double& y);

    /// Force (linear, N) or torque (N·m) by the Maxwell stress on the surface x, summed over
    /// the harmonics; y is the load angle.
    double synchronousMaxwell(const double& kp, const double& x, const double& g, const double& a,
                              const double& z, const double& y);
    /// Force or torque on the rotor current sheet, taken at R whatever x is.
    double synchronousLorentz(const double& kp, const double& x, const double& g, const double& a,
                              const double& z, const double& y);
    /// The material component; the synchronous model has none: 0.
    double synchronousMaterial(const double& kp, const double& x, const double& g, const double& a,
                               const double& z, const double& y);
    /// The impulse component; the synchronous model has none: 0.
    double synchronousImpulse(const double& kp, const double& x, const double& g, const double& a,
                              const double& z, const double& y);
    /// The coenergy component; the synchronous model has none: 0.
    double synchronousCoenergy(const double& kp, const double& x, const double& g, const double& a,
                               const double& z, const double& y);

    /// Spherical Maxwell density of the stator sheet alone, t⁴·Re(Hs·conj(Bs)), t = sin θ.
    double maxwellStatorIntegrand(const double& kh, const double& x, const double& g,
                                  const double& a, const double& theta, const double& y);
    /// Spherical Maxwell density of the two sheets together, t⁴·Re(Hs·conj(Br·e) + Hr·e·conj(Bs)),
    /// e = exp(j·kh·y).
    double maxwellMutualIntegrand(const double& kh, const double& x, const double& g,
                                  const double& a, const double& theta, const double& y);
    /// Spherical Maxwell density of the rotor sheet alone, t⁴·Re(Hr·conj(Br)).
    double maxwellRotorIntegrand(const double& kh, const double& x, const double& g,
                                 const double& a, const double& theta, const double& y);
    /// Spherical Lorentz density of the stator field on the rotor sheet, t³·Re(e·conj(Bs)).
    double lorentzMutualIntegrand(const double& kh, const double& x, const double& g,
                                  const double& a, const double& theta, const double& y);
    /// Spherical Lorentz density of the rotor's own field, t³·Re(conj(Br)).
    double lorentzRotorIntegrand(const double& kh, const double& x, const double& g,
                                 const double& a, const double& theta, const double& y);

private:
    using Integrand = double (SilnikSynchroniczny::*)(const double&, const double&, const double&,
                                                      const double&, const double&, const double&);

    [[nodiscard]] bool spherical() const { return params().geometry == Geometry::Spherical; }
    [[nodiscard]] GapCoefficients coefficientsOfRoots(const double& kh, const double& g,
                                                      const double& theta) const;
    [[nodiscard]] Complex normalFlux(const Complex& first, const Complex& second, const double& kh,
                                     const double& x, const double& theta) const;
    [[nodiscard]] Complex tangentialField(const Complex& flux, const Complex& first,
                                          const Complex& second, const double& x) const;
    /// All four fields at one point, by the point operations or from one solution.
    GapFields fieldsAt(const double& kh, const double& x, const double& g, const double& a,
                       const double& theta, const double& y);
    /// The two normal flux densities at one point (hs and hr stay zero).
    GapFields normalFluxesAt(const double& kh, const double& x, const double& g, const double& a,
                             const double& theta, const double& y);

    [[nodiscard]] bool physical() const;
    double maxwellContribution(int index, const double& kp, const double& x, const double& g,
                               const double& a, const double& z, const double& y);
    double lorentzContribution(int index, const double& kp, const double& g, const double& a,
                               const double& z, const double& y);
    [[nodiscard]] Evaluator bound(Integrand integrand);
    /// Integrals over θ from teta1 to teta2 of N densities, each also available as a member
    /// integrand; in reuse mode a fixed rule evaluates all N from one field solution per node.
    template <std::size_t N, class Densities>
    std::array<double, N> thetaIntegrals(const std::array<Integrand, N>& integrands,
                                         const Densities& densities, const double& kh,
                                         const double& x, const double& g, const double& a,
                                         const double& theta, const double& y);

    Complex m_rho;
    Complex m_mu1;
    Complex m_mu2;
    double m_lambdaShift = 0.0;
    EvaluationMode m_mode = EvaluationMode::Reuse;
};

}  // namespace emforce
