// Tests of the accurate Bessel functions against Arb over every method and both scalings.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "numerics/fp_guard.hpp"
#include "reference/accurate_reference.hpp"

namespace emforce::reference {
namespace {

// Every quantity (I, I′, K, K′ scaled; z^p·I, z^p·K with both derivatives; the unscaled
// conveniences where the value is a double) within 40 ε times its condition number, over the
// small grid with a part of every focus set; every method is met and no point raises a fault
// flag.
TEST(BesselAccurateReference, EveryPointWithinTheConditionOfTheFunction) {
    std::set<BesselMethod> methods;
    for (const AccuratePoint& pt : accurateGrid(false)) {
        SCOPED_TRACE(testing::Message() << pt.set << ": p " << text(pt.p) << " nu " << text(pt.nu)
                                        << " z " << text(pt.z));
        clearFpFaults();
        scaledBesselIProduct(pt.p, pt.nu, pt.z);
        scaledBesselKProduct(pt.p, pt.nu, pt.z);
        EXPECT_NO_THROW(throwOnFpFault());
        const AccurateAgreement a = measureAccurate(pt);  // the unscaled ones may overflow
        clearFpFaults();
        methods.insert(a.methodI);
        methods.insert(a.methodK);
        for (int q = 0; q < kAccurateQuantities; ++q) {
            if (a.error[q] < 0.0) continue;
            EXPECT_LE(a.error[q], 40.0 * kEps * std::max(1.0, conditionOf(a, q)))
                << quantityName(q) << " by " << besselMethodName(a.methodI) << " / "
                << besselMethodName(a.methodK) << ", condition " << conditionOf(a, q);
        }
    }
    EXPECT_EQ(methods, (std::set<BesselMethod>{
                           BesselMethod::PowerSeries, BesselMethod::Temme, BesselMethod::Steed,
                           BesselMethod::Uniform, BesselMethod::WronskianTemme,
                           BesselMethod::WronskianSteed, BesselMethod::OrderShift}));
}

// Where the problem is well conditioned (condition number at most 4, p = 0, modest orders) the
// scaled functions agree with Arb to 1e-13 relative.
TEST(BesselAccurateReference, WellConditionedPointsWithin1e13) {
    int checked = 0;
    for (const AccuratePoint& pt : accurateGrid(false)) {
        if (pt.p != Complex(0.0)) continue;
        const AccurateAgreement a = measureAccurate(pt);
        for (int q = 0; q < 4; ++q) {
            if (conditionOf(a, q) > 4.0) continue;
            ++checked;
            EXPECT_LE(a.error[q], 1e-13)
                << quantityName(q) << " nu " << text(pt.nu) << " z " << text(pt.z);
        }
    }
    EXPECT_GT(checked, 20);
}

}  // namespace
}  // namespace emforce::reference
