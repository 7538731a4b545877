// Numerical integration of an evaluator-shaped integrand by one of eleven rules.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>

#include "numerics/cancel.hpp"

namespace emforce {

/// A real-valued closure of the six model arguments (kp or kh, x, g, a, z or θ, speed or angle).
/// Evaluators read their arguments and never write through them.
using Evaluator = std::function<double(const double& kp, const double& x, const double& g,
                                       const double& a, const double& z, const double& n)>;

/// Index of the integration method in the method list.
enum class IntegrationMethod : int {
    Simpson = 0,
    Gauss5 = 1,
    Gauss6 = 2,
    Gauss7 = 3,
    Gauss8 = 4,
    Gauss10 = 5,
    Gauss15 = 6,
    Chebyshev5 = 7,
    Chebyshev6 = 8,
    Chebyshev7 = 9,
    MonteCarlo = 10,
};

/// Number of methods in the list.
inline constexpr int kIntegrationMethodCount = 11;

/// Message of a method index outside the list.
inline constexpr const char* kNoIntegrationMethod = "No integration method is selected";

/// Integrates f from lower to upper over the second argument (overX) or the fifth (otherwise);
/// kp is handed on unchanged and the other four arguments are copies owned by the routine.
/// Throws CalcError for a method outside the list, and CalcError(kCancelledMessage) when this
/// thread's run is cancelled (numerics/cancel.hpp): before a fixed rule's points and every few
/// Monte Carlo samples.
double integrate(IntegrationMethod method, const Evaluator& f, const double& kp, double x, double g,
                 double a, double z, double n, bool overX, double lower, double upper);

/// Nodes and weights of a fixed rule on the reference interval [-1, 1], in call order: the
/// integral over [lower, upper] is h·Σ w_i·f(m + h·t_i) with h = (upper − lower)/2 and
/// m = (upper + lower)/2.
struct QuadratureRule {
    std::span<const double> nodes;
    std::span<const double> weights;
};

/// The rule of a method. Simpson appears as the three points of each of its panels (shared
/// panel ends twice) with weights 1, 4, 1 over 3N; Monte Carlo has no fixed rule (empty spans).
/// Throws CalcError for a method outside the list.
QuadratureRule quadratureRule(IntegrationMethod method, bool overX);

/// Number of integrand calls of one integral; nullopt for Monte Carlo, whose count depends on
/// the samples. Throws CalcError for a method outside the list.
std::optional<int> integrandCallCount(IntegrationMethod method, bool overX);

/// Most integrand calls of a fixed rule (Simpson over x).
inline constexpr std::size_t kMaxRulePoints = 225;

/// The values of the integration variable at which a fixed rule calls the integrand, in order.
struct SamplePoints {
    std::array<double, kMaxRulePoints> values{};
    std::size_t count = 0;

    /// The points in use.
    std::span<const double> points() const { return {values.data(), count}; }
};

/// The points at which integrate calls the integrand between the limits, computed exactly as
/// integrate computes them; none for Monte Carlo. Throws CalcError for a method outside the list.
SamplePoints samplePoints(IntegrationMethod method, bool overX, double lower, double upper);

/// The integral from the integrand's values at samplePoints(method, overX, lower, upper), taken
/// in the same order; bit-identical to integrate. Throws std::invalid_argument when the number
/// of values is not the rule's call count (and so always for Monte Carlo).
double combineSamples(IntegrationMethod method, bool overX, double lower, double upper,
                      std::span<const double> values);

/// The integrals of N integrands that share their points, from one call of values(t) per
/// distinct point, values returning the N integrands at t (a point equal to the one before it,
/// Simpson's shared panel end, takes the values just computed). Each result is bit-identical to
/// integrate of its integrand alone, where the integrands depend on their arguments alone. Fixed
/// rules only: throws std::invalid_argument for Monte Carlo. A cancel request throws as in
/// integrate.
template <std::size_t N, class Values>
std::array<double, N> integrateTogether(IntegrationMethod method, bool overX, double lower,
                                        double upper, const Values& values) {
    throwIfCancelled();
    const SamplePoints points = samplePoints(method, overX, lower, upper);
    std::array<std::array<double, kMaxRulePoints>, N> columns;
    for (std::size_t j = 0; j < points.count; ++j) {
        const bool repeat = j > 0 && points.values[j] == points.values[j - 1];
        if (repeat) {
            for (std::size_t k = 0; k < N; ++k) columns[k][j] = columns[k][j - 1];
            continue;
        }
        const std::array<double, N> v = values(points.values[j]);
        for (std::size_t k = 0; k < N; ++k) columns[k][j] = v[k];
    }
    std::array<double, N> result{};
    for (std::size_t k = 0; k < N; ++k)
        result[k] = combineSamples(method, overX, lower, upper, {columns[k].data(), points.count});
    return result;
}

}  // namespace emforce
