// The plain and normalised layer and gap bases of one harmonic.
#include <gtest/gtest.h>

#include <cmath>

#include "induction/field_basis.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

bool close(const Complex& a, const Complex& b, double rel) {
    return abs(a - b) <= rel * std::max(abs(a), abs(b));
}

RadialSlots slots(LayerFamily layer, BesselChoice choice) {
    BesselSettings settings;
    settings.functions = choice;
    const GapFamily gap =
        layer == LayerFamily::Exponential ? GapFamily::Exponential : GapFamily::Power;
    return {gap, layer, settings};
}

struct LayerCase {
    const char* name;
    LayerFamily family;
    LayerConstants constants;
    double x0, R;
};

// Where the series are accurate, a normalised solution and its derivative divided by its value
// at R are the plain ones divided by theirs: the normalisation and the shifted derivative
// d/dz [z^(p+1)·f] = z^p·f + z·d/dz [z^p·f] change nothing but the scale.
TEST(LayerBasis, NormalisedSolutionsAreThePlainOnesUpToTheirScale) {
    const Complex alpha{0.6, -0.5};
    const LayerCase cases[] = {
        {"cylindrical",
         LayerFamily::Bessel,
         {alpha, 0.0, sqrt(alpha * alpha + 4.0), sqrt(alpha * alpha + 4.0), {9.0, 9.0}},
         0.2,
         0.3},
        {"spherical",
         LayerFamily::Bessel,
         {alpha - 0.5, 1.0, {1.7, -0.4}, {1.7, -0.4}, {20.0, 19.0}},
         0.08,
         0.1},
        {"linear",
         LayerFamily::Exponential,
         {0.0, 0.0, {-30.0, -20.0}, {30.0, 20.0}, 1.0},
         0.1,
         0.11},
    };
    for (const LayerCase& c : cases) {
        const LayerBasis plain(slots(c.family, BesselChoice::Series), c.constants, c.x0, c.R);
        const LayerBasis normalised(slots(c.family, BesselChoice::Accurate), c.constants, c.x0,
                                    c.R);
        ASSERT_FALSE(plain.normalised());
        ASSERT_TRUE(normalised.normalised());
        const LayerValues plainR = plain.at(c.R, LayerParts::Values);
        const LayerValues normalisedR = normalised.at(c.R, LayerParts::Both);
        for (double r : {c.x0, 0.5 * (c.x0 + c.R), c.R}) {
            const LayerValues p = plain.at(r, LayerParts::Both);
            const LayerValues n = normalised.at(r, LayerParts::Both);
            EXPECT_TRUE(close(n.firstKind.value / normalisedR.firstKind.value,
                              p.firstKind.value / plainR.firstKind.value, 1e-12))
                << c.name << " " << r;
            EXPECT_TRUE(close(n.firstKind.derivative / normalisedR.firstKind.value,
                              p.firstKind.derivative / plainR.firstKind.value, 1e-12))
                << c.name << " " << r;
            EXPECT_TRUE(close(n.secondKind.value / normalisedR.secondKind.value,
                              p.secondKind.value / plainR.secondKind.value, 1e-12))
                << c.name << " " << r;
            EXPECT_TRUE(close(n.secondKind.derivative / normalisedR.secondKind.value,
                              p.secondKind.derivative / plainR.secondKind.value, 1e-12))
                << c.name << " " << r;
        }
    }
}

// |β·r| up to 1200 and orders up to 300 put I and K far beyond the double range; the
// normalised solutions are at most 1 in modulus across the layer and raise no flag.
TEST(LayerBasis, NormalisedSolutionsStayInRange) {
    struct Case {
        Complex order;
        Complex beta;
        double x0, R;
    };
    for (const Case& c :
         {Case{17.0, {4243.0, 4243.0}, 0.15, 0.2}, Case{{300.0, 2.0}, {30.0, 30.0}, 0.05, 0.0503},
          Case{{12.0, -0.5}, {600.0, 500.0}, 0.195, 0.2}}) {
        const LayerBasis basis(slots(LayerFamily::Bessel, BesselChoice::Accurate),
                               {0.0, 1.0, c.order, c.order, c.beta}, c.x0, c.R);
        clearFpFaults();
        for (double t : {0.0, 0.1, 0.5, 0.9, 1.0}) {
            const LayerValues v = basis.at(c.x0 + t * (c.R - c.x0), LayerParts::Both);
            for (const LayerSolution& s : {v.firstKind, v.secondKind}) {
                EXPECT_LE(abs(s.value), 1.0 + 1e-12) << abs(c.beta * c.R) << " " << t;
                EXPECT_TRUE(std::isfinite(abs(s.derivative)) && std::isfinite(abs(s.second)));
            }
        }
        EXPECT_NO_THROW(throwOnFpFault());
        // Each solution is 1 at its reference face: the larger end.
        EXPECT_TRUE(close(basis.at(c.R, LayerParts::Values).firstKind.value, 1.0, 1e-14));
        EXPECT_TRUE(close(basis.at(c.x0, LayerParts::Values).secondKind.value, 1.0, 1e-14));
    }
}

// Each gap solution is referred to the end of the gap where it is larger; a plain basis holds
// the slot functions.
TEST(GapBasis, SolutionsAreReferredToTheirLargerEnd) {
    const RadialSlots accurate = slots(LayerFamily::Bessel, BesselChoice::Accurate);
    const RadialSlots series = slots(LayerFamily::Bessel, BesselChoice::Series);
    const Complex mu1{1700.0, -0.2}, mu2{-1701.0, 0.2};
    const double R = 0.0503, stator = 0.0504;
    const GapBasis plain(series, 5.0, -6.0, 1.0, R, stator);
    EXPECT_EQ(plain.at(R).first.value, series.radialPower(5.0, R));
    EXPECT_EQ(plain.at(R).second.derivative, series.radialPowerDerivative(-5.0, R));
    const GapBasis normalised(accurate, mu1, mu2, 1.0, R, stator);
    clearFpFaults();
    EXPECT_TRUE(close(normalised.at(stator).first.value, 1.0, 1e-14));
    EXPECT_TRUE(close(normalised.at(R).second.value, 1.0, 1e-14));
    EXPECT_NEAR(abs(normalised.at(R).first.value), std::pow(R / stator, 1700.0), 1e-12);
    EXPECT_NEAR(abs(normalised.at(stator).second.value), std::pow(R / stator, 1701.0), 1e-12);
    EXPECT_NO_THROW(throwOnFpFault());
}

}  // namespace
}  // namespace emforce
