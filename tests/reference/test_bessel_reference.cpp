// Tests of the Bessel routines and Γ against the arbitrary-precision library Arb.
#include <gtest/gtest.h>

#include <cmath>

#include "numerics/bessel.hpp"
#include "numerics/fp_guard.hpp"
#include "reference/bessel_reference.hpp"

namespace emforce::reference {
namespace {

// Each case stays within the error its algorithm allows: the Γ errors and rounding carried
// through the series and its cancellation (loss), or the first omitted term of the
// large-argument forms. The routines raise no fault flag on any of these regular inputs.
TEST(BesselReference, EveryCaseWithinTheErrorOfItsAlgorithmAndWithoutFaults) {
    for (const BesselCase& c : agreementCases()) {
        SCOPED_TRACE(testing::Message()
                     << functionName(c.function) << " p " << text(c.p) << " nu " << text(c.nu)
                     << " z " << text(c.z) << " limit " << c.settings.limit);
        clearFpFaults();
        computed(c);
        EXPECT_NO_THROW(throwOnFpFault());
        const Agreement a = measure(c);
        EXPECT_GE(a.precision, 128);
        EXPECT_LE(a.error, a.bound) << "loss " << a.loss;
    }
}

// Lanczos Γ: |ε| < 2e-10 for Re w > 0; with the reflection for Re w < 0 the sine's rounding
// grows as w nears a pole, by about ε·|πw|/|sin πw|.
TEST(BesselReference, GammaWithinTheLanczosAccuracy) {
    for (double x = -20.25; x <= 160.0; x += 0.7) {
        for (double y = -6.0; y <= 6.0; y += 1.3) {
            const Complex w(x, y);
            Ball s;
            acb_sin_pi(s.get(), Ball(w).get(), 128);
            const double reflection =
                x < 0.0 ? 8.0 * kEps * detail::modulus(w) * kPi / s.abs() : 0.0;
            SCOPED_TRACE(testing::Message() << "w " << text(w));
            EXPECT_LT(detail::gammaError(w), 2e-10 + reflection);
        }
    }
}

}  // namespace
}  // namespace emforce::reference
