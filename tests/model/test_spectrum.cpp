// Winding patterns, spectra, the harmonic range and the inclusion rule.
#include "model/spectrum.hpp"

#include <gtest/gtest.h>

#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

TEST(Spectrum, PatternFactorsAndPhases) {
    const double mmf = 100.0 * kFourOverPi;
    const Spectra chorded = buildSpectra(1, mmf, 2 * mmf);
    EXPECT_DOUBLE_EQ(chorded.stator[9], 100.0 * kFourOverPi * 1.5 * 0.9749079);
    EXPECT_EQ(chorded.stator[8], 0.0);
    EXPECT_DOUBLE_EQ(chorded.rotor[9], 2 * chorded.stator[9]);
    EXPECT_EQ(chorded.phases, 3);
    EXPECT_DOUBLE_EQ(buildSpectra(4, mmf, 0).stator[9], 100.0 * kFourOverPi);
    const Spectra single = buildSpectra(5, mmf, 0);
    EXPECT_EQ(single.phases, 1);
    EXPECT_DOUBLE_EQ(single.stator[0], mmf * -0.038338666666666674);
}

TEST(Spectrum, NoPatternHasAnOrderMinusOneOrMinusTriplen) {
    for (const WindingPattern& p : kWindingPatterns)
        for (int order : {-15, -9, -3, -1}) EXPECT_EQ(p.coefficients[(order + 17) / 2], 0.0) << p.caption;
}

TEST(Spectrum, HarmonicRange) {
    struct Case {
        int h, first, last;
    };
    for (const Case c : {Case{1, 8, 9}, Case{17, 0, 17}, Case{2, 7, 9}, Case{18, 0, 17}, Case{3, 7, 10}}) {
        const HarmonicRange r = harmonicRange(c.h);
        EXPECT_EQ(r.first, c.first) << c.h;
        EXPECT_EQ(r.last, c.last) << c.h;
    }
    for (int h : {-1, -17, -1000, -2147483647}) {
        const HarmonicRange r = harmonicRange(h);
        EXPECT_GT(r.first, r.last) << h;
    }
}

TEST(Spectrum, InclusionRule) {
    const double sync = 50.0;
    EXPECT_TRUE(harmonicIncluded(sync / 1 - 10, 1, 3, 1.0, sync));
    EXPECT_FALSE(harmonicIncluded(sync / 1 - sync, 1, 3, 1.0, sync));    // synchronous with the layer
    EXPECT_TRUE(harmonicIncluded(sync / -5 - sync, -5, 3, 1.0, sync));   // slip -1.2 syncSpeed
    EXPECT_FALSE(harmonicIncluded(sync / 3 - 10, 3, 3, 1.0, sync));      // triplen, three phases
    EXPECT_TRUE(harmonicIncluded(sync / 3 - 10, 3, 1, 1.0, sync));       // triplen, one phase
    EXPECT_FALSE(harmonicIncluded(sync / 7 - 10, 7, 3, 0.0, sync));      // zero amplitude
    clearFpFaults();
    harmonicIncluded(1.0, 1, 3, 1.0, 0.0);
    EXPECT_THROW(throwOnFpFault(), CalcError);
}

}  // namespace
}  // namespace emforce
