// Floating-point fault checks on the status flags of the current thread.
#include "numerics/fp_guard.hpp"

#include <cfenv>
#include <cmath>

namespace emforce {

namespace {
constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// Keeps the compiler from moving the computation of v past the flag test.
inline void materialize(double v) {
#if defined(__GNUC__)
    asm volatile("" : : "g"(v) : "memory");
#else
    volatile double sink = v;
    (void)sink;
#endif
}
}  // namespace

void clearFpFaults() { std::feclearexcept(kFaults); }

void throwOnFpFault() {
    const int raised = std::fetestexcept(kFaults);
    if (raised == 0) return;
    std::feclearexcept(kFaults);
    if (raised & FE_DIVBYZERO) throw CalcError(kDivisionByZero);
    if (raised & FE_OVERFLOW) throw CalcError(kOverflow);
    throw CalcError(kInvalidOperation);
}

double checkedValue(double v) {
    materialize(v);
    throwOnFpFault();
    if (std::isnan(v)) throw CalcError(kInvalidOperation);
    if (std::isinf(v)) throw CalcError(kOverflow);
    return v;
}

FpFlagsScope::FpFlagsScope() { std::fegetexceptflag(&m_saved, FE_ALL_EXCEPT); }

FpFlagsScope::~FpFlagsScope() { std::fesetexceptflag(&m_saved, FE_ALL_EXCEPT); }

}  // namespace emforce
