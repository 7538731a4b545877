// Numerical integration of an evaluator-shaped integrand by one of eleven rules.
#pragma once

#include <functional>

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

/// Integrates f from lower to upper over the second argument (overX) or the fifth (otherwise);
/// kp is handed on unchanged and the other four arguments are copies owned by the routine.
double integrate(IntegrationMethod method, const Evaluator& f, const double& kp, double x,
                 double g, double a, double z, double n, bool overX, double lower, double upper);

}  // namespace emforce
