// The logarithm of the Gamma function of a complex argument in the right half-plane.
#pragma once

#include "numerics/complex.hpp"

namespace emforce {

/// A logarithm of Γ(w) for Re w > 0: the real part is ln|Γ(w)|, the imaginary part an argument
/// of Γ(w) (not always the principal one: exp of the result is Γ(w)). Stirling's series with ten
/// terms (DLMF 5.11.1) at |w| ≥ 12, reached by the recurrence Γ(w) = Γ(w+N)/(w(w+1)…(w+N−1));
/// absolute error a few ε·|w·ln w| (the rounding of the leading term), series error below 1e-19.
Complex logGamma(const Complex& w);

}  // namespace emforce
