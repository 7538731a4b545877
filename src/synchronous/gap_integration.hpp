// The integration driver of the synchronous densities: any set of them over shared θ nodes.
#pragma once

#include <array>
#include <cstddef>

#include "model/field_policy.hpp"
#include "model/motor_parameters.hpp"
#include "numerics/integration.hpp"
#include "synchronous/synchronous_field.hpp"

namespace emforce {

/// The integrals over θ from teta1 to teta2 of the model `p` of N densities of one harmonic:
/// solve(θ) gives the field at θ, densities(field) the N densities of it. Shared evaluates all
/// N from one solve per distinct node of a fixed rule; Literal integrates each on its own, the
/// field solved again at every node, and so does Monte Carlo, which draws its own points for
/// every integral. Both give the same numbers.
template <std::size_t N, class Solve, class Densities>
std::array<double, N> integrateOverTheta(const MotorParameters& p, FieldPolicy policy,
                                         const Solve& solve, const Densities& densities) {
    const auto method = static_cast<IntegrationMethod>(p.integrationMethod);
    if (policy == FieldPolicy::Shared && method != IntegrationMethod::MonteCarlo) {
        return integrateTogether<N>(method, false, p.teta1, p.teta2,
                                    [&](double theta) { return densities(solve(theta)); });
    }
    std::array<double, N> result{};
    for (std::size_t k = 0; k < N; ++k) {
        const Evaluator atAngle = [&](const double&, const double&, const double&, const double&,
                                      const double& theta,
                                      const double&) { return densities(solve(theta))[k]; };
        result[k] =
            integrate(method, atAngle, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, false, p.teta1, p.teta2);
    }
    return result;
}

}  // namespace emforce
