// A stack of regions: its layout, the field of one wave, and the results of the whole winding
// against closed forms, the quadratures and the published induction-motor benchmark.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "induction/region_stack_results.hpp"
#include "induction/stack_field.hpp"
#include "model/benchmark_stacks.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kMu0 = 1.0 / kNi0;

RegionStack benchmarkMachine(bool threePhase, int highestOrder) {
    return inductionBenchmarkStack(threePhase, highestOrder);
}

double relative(double value, double reference) { return std::fabs(value / reference - 1.0); }

struct BenchmarkRow {
    double speed;                           // rad/s
    double torque, loss;                    // published: N·m/m, W/m
    double torqueTolerance, lossTolerance;  // relative to the published values
    double ownTorque, ownLoss;              // this design's values, to 7 digits or better
};

void checkBenchmark(bool threePhase, const std::vector<BenchmarkRow>& rows, double ownTolerance) {
    const RegionStack machine = benchmarkMachine(threePhase, 51);
    for (const BenchmarkRow& row : rows) {
        const StackResults r = solveStack(machine, row.speed);
        EXPECT_LT(relative(r.rotorJoule, row.loss), row.lossTolerance) << row.speed;
        EXPECT_LT(relative(r.rotorJoule, row.ownLoss), ownTolerance) << row.speed;
        if (row.torque == 0.0) {
            EXPECT_NEAR(r.maxwell, 0.0, 1e-12) << row.speed;
            continue;
        }
        EXPECT_LT(relative(r.maxwell, row.torque), row.torqueTolerance) << row.speed;
        EXPECT_LT(relative(r.maxwell, row.ownTorque), ownTolerance) << row.speed;
        ASSERT_TRUE(r.balance.has_value());
        EXPECT_NEAR(*r.balance, 1.0, 1e-9) << row.speed;
    }
}

// The published three-phase table, and an independent arbitrary-precision solution of the same
// design to its 7 digits. Standstill is 2.9e-4 off the published torque for every highest
// order from 13 to 51: not truncation, so it is held to 5e-4.
TEST(StackBenchmark, ThreePhaseTorqueAndRotorLossMatchThePublishedTable) {
    checkBenchmark(true,
                   {
                       {0, 3.825857, 1455.644, 5e-4, 5e-4, 3.826969, 1455.512},
                       {200, 6.505013, 1179.541, 1e-4, 1e-4, 6.504987, 1179.545},
                       {400, -3.89264, 120.0092, 1e-4, 1e-4, -3.892647, 120.014},
                       {600, -5.75939, 1314.613, 1e-4, 1e-4, -5.759393, 1314.614},
                       {800, -3.59076, 1548.24, 1e-4, 1e-4, -3.590755, 1548.240},
                       {1000, -2.70051, 1710.686, 1e-4, 1e-4, -2.700507, 1710.686},
                       {1200, -2.24996, 1878.926, 1e-4, 1e-4, -2.249963, 1878.926},
                   },
                   5e-6);
}

// The published single-phase table: a pulsating field, no torque at standstill. Its torque is
// the small difference of a forward and a backward torque of about 0.43 N·m/m each, so the
// published values' own error of about 3e-4 of those (as at three-phase standstill) shows as
// 1e-4 to 1.3e-3 of the difference below 160 rad/s; the row at 39.79 rad/s is off by 6.7 %
// in torque (no speed gives both its torque and its loss) and held only to that. Losses
// within 1e-4 but there (2.5e-4).
TEST(StackBenchmark, SinglePhaseTorqueAndRotorLossMatchThePublishedTable) {
    checkBenchmark(false,
                   {
                       {0, 0.0, 341.7676, 0, 1e-4, 0.0, 341.7541904},
                       {39.79351, 0.052766, 341.2465, 7e-2, 3e-4, 0.0492108507, 341.3316462},
                       {79.58701, 0.096143, 340.4618, 1.5e-3, 1e-4, 0.09601500253, 340.4719806},
                       {119.3805, 0.14305, 340.0396, 5e-4, 1e-4, 0.1429884579, 340.0464125},
                       {159.174, 0.19957, 340.225, 1.5e-4, 1e-4, 0.1995492522, 340.2284946},
                       {198.9675, 0.2754, 339.2994, 1e-4, 1e-4, 0.275386002, 339.3021413},
                       {238.761, 0.367972, 333.6163, 1e-4, 1e-4, 0.3679647719, 333.6179556},
                       {278.5546, 0.442137, 317.9933, 1e-4, 1e-4, 0.4421313689, 317.9948975},
                       {318.3481, 0.375496, 288.079, 1e-4, 1e-4, 0.3754906452, 288.0806897},
                       {358.1416, -0.0707, 256.6437, 1.5e-4, 1e-4, -0.0707072945, 256.6447965},
                   },
                   1e-8);
}

// Each region's Lorentz torque and Joule loss from its two boundaries equal the integrals of
// J×B and |J|²/(2σ) over it, in both geometries, for a band and for a sheet.
TEST(StackResults, BoundaryFormsEqualTheIntegrals) {
    RegionStack linear;
    linear.geometry = Geometry::Linear;
    linear.kp = kPi / 0.1;
    linear.omega = 2.0 * kPi * 50.0;
    linear.core = CoreKind::Solid;
    linear.coreSigma = 5e6;
    linear.coreMuR = 200.0;
    linear.layers = {{"copper", 0.004, 5.8e7, 1.0, std::nullopt},
                     {"coating", 0.001, 1e6, 3.0, std::nullopt}};
    linear.gap = 0.002;
    linear.stator = StatorKind::Shell;
    linear.statorThickness = 0.01;
    linear.statorSigma = 2e6;
    linear.statorMuR = 50.0;
    linear.winding = benchmarkMachine(true, 1).winding;
    linear.highestOrder = 25;
    for (Winding* w : {&linear.winding})
        for (CoilSide& side : w->sides) side.density = 1e4;  // a sheet in A/m
    const struct {
        const char* name;
        RegionStack stack;
        double speed;
    } cases[] = {
        {"benchmark at 200 rad/s", benchmarkMachine(true, 25), 200.0},
        {"benchmark single-phase at 300 rad/s", benchmarkMachine(false, 25), 300.0},
        {"linear sheet at 3 m/s", linear, 3.0},
    };
    StackOptions options;
    options.integrals = true;
    for (const auto& c : cases) {
        const StackResults r = solveStack(c.stack, c.speed, options);
        for (const RegionResult& region : r.regions) {
            EXPECT_NEAR(*region.lorentzIntegral, region.lorentz, 1e-9 * std::fabs(r.maxwell))
                << c.name << ": " << region.name;
            EXPECT_NEAR(*region.jouleIntegral, region.joule, 1e-9 * (r.rotorJoule + r.statorJoule))
                << c.name << ": " << region.name;
        }
    }
}

// A conducting half-space under a gap g closed by ideal iron carrying the sheet K:
// A(0) = 2μ0K/((k + γ)e^{kg} − (k − γ)e^{−kg}) and the loss (ω_s/(2μ0))·|A(0)|²·Im γ.
TEST(StackResults, HalfSpaceUnderASheetHasItsClosedForm) {
    RegionStack s;
    s.geometry = Geometry::Linear;
    s.kp = 20.0;
    s.omega = 300.0;
    s.core = CoreKind::Solid;
    s.coreSigma = 3e7;
    s.gap = 0.004;
    s.winding.phaseAngles = {0.0};
    s.winding.sides = {{0.0, 2.0 * kPi, 0, 1, 0.0}};  // replaced below: one wave of density K
    // A single forward wave: a sheet whose spectrum is that of a three-phase winding's order 1.
    s.winding = benchmarkMachine(true, 1).winding;
    s.highestOrder = 1;
    const double speed = 4.0;
    const SourceHarmonic wave = windingSpectrum(s.winding, 1).front();
    const double k = 20.0, slip = 300.0 - k * speed;
    const Complex gamma = sqrt(Complex(k * k, slip * kMu0 * 3e7));
    const Complex a0 = 2.0 * kMu0 * wave.amplitude /
                       ((k + gamma) * std::exp(k * 0.004) - (k - gamma) * std::exp(-k * 0.004));
    const double loss = slip / (2.0 * kMu0) * norm(a0) * imag(gamma);
    const StackResults r = solveStack(s, speed);
    ASSERT_EQ(r.regions.size(), 1u);
    EXPECT_NEAR(r.rotorJoule, loss, 1e-13 * loss);
    EXPECT_NEAR(r.maxwell, k / slip * loss, 1e-13 * std::fabs(k / slip * loss));
}

// A band of width δ under the stator surface carrying K/δ carries what a sheet K carries there,
// to O(δ) (in the cylinder the band's current is (1 − δ/2r) of the sheet's: 1.8e-6 here): the
// band's particular solutions (linear μ·J/k_h², cylindrical −μ·J·r²/(4 − n²) and its limit at |n| =
// 2, pole pairs 2 below) against the sheet's jump.
TEST(StackResults, AThinBandCarriesWhatASheetCarries) {
    for (const Geometry geometry : {Geometry::Linear, Geometry::Cylindrical})
        for (const double kp : {1.0, 2.0}) {
            RegionStack sheet;
            sheet.geometry = geometry;
            sheet.kp = geometry == Geometry::Linear ? 30.0 * kp : kp;
            sheet.omega = 2.0 * kPi * 50.0;
            sheet.core = CoreKind::IdealIron;
            sheet.coreSurface = 0.05;
            sheet.layers = {{"copper", 0.003, 5.8e7, 1.0, std::nullopt}};
            sheet.gap = 0.002;
            sheet.winding = benchmarkMachine(true, 7).winding;
            sheet.highestOrder = 7;
            for (CoilSide& side : sheet.winding.sides) side.density = 2e4;
            const double delta = 1e-7;
            RegionStack band = sheet;
            band.gap -= delta;
            band.excitation = ExcitationKind::Band;
            band.bandWidth = delta;
            for (CoilSide& side : band.winding.sides) side.density /= delta;
            const StackResults a = solveStack(sheet, 3.0), b = solveStack(band, 3.0);
            const std::string where =
                std::string(geometry == Geometry::Linear ? "linear" : "cylindrical") + " kp " +
                std::to_string(kp);
            EXPECT_LT(relative(b.maxwell, a.maxwell), 1e-5) << where;
            EXPECT_LT(relative(b.rotorJoule, a.rotorJoule), 1e-5) << where;
        }
}

// The field is continuous with H_t across every interface (an anisotropic layer among them),
// has A' = 0 on ideal iron and the jump of the sheet at the stator surface; it stays in range
// at order 51 in a copper rotor of 0.2 m at 50 Hz (|k·r| ≈ 80).
TEST(StackField, MeetsTheInterfaceConditionsInRangeAtHighOrders) {
    RegionStack s;
    s.geometry = Geometry::Cylindrical;
    s.kp = 3.0;
    s.omega = 2.0 * kPi * 50.0;
    s.core = CoreKind::IdealIron;
    s.coreSurface = 0.15;
    s.layers = {{"steel", 0.05, 4e6, 80.0, std::nullopt},
                {"laminated", 0.003, 1e6, 1.0, Reluctivity{0.02, 0.5, {0.1, 0.2}, {0.0, 0.3}}},
                {"copper", 0.002, 5.8e7, 1.0, std::nullopt}};
    s.gap = 0.001;
    const StackLayout layout = stackLayout(s);
    ASSERT_EQ(layout.regions.size(), 4u);
    for (const int order : {1, -5, 17, 51}) {
        const StackField field(layout, {order, Complex(1e5, 2e4)}, 10.0);
        const auto& regions = layout.regions;
        const std::array<Complex, 2> inner = field.potential(0, regions[0].inner);
        EXPECT_LT(abs(inner[1]), 1e-11 * abs(inner[0]) / regions[0].inner) << order;
        for (std::size_t i = 1; i < regions.size(); ++i) {
            const double r = regions[i].inner;
            const std::array<Complex, 2> a = field.potential(i - 1, r), b = field.potential(i, r);
            EXPECT_LT(abs(a[0] - b[0]), 1e-12 * abs(a[0])) << order << " at " << i;
            const Complex ha = field.tangentialField(i - 1, r, a),
                          hb = field.tangentialField(i, r, b);
            EXPECT_LT(abs(ha - hb), 1e-11 * abs(ha)) << order << " at " << i;
        }
        const std::array<Complex, 2> outer = field.potential(3, regions[3].outer);
        EXPECT_LT(abs(outer[1] - kMu0 * Complex(1e5, 2e4)), 1e-12 * kMu0 * 1e5) << order;
        EXPECT_TRUE(std::isfinite(abs(field.potential(0, 0.17)[0]))) << order;
    }
}

TEST(StackLayout, PlacesTheRegionsInsideOut) {
    const StackLayout layout = stackLayout(benchmarkMachine(true, 5));
    const std::vector<std::string> names = {"core",         "aluminium",   "gap",
                                            "winding band", "stator iron", "outer air"};
    ASSERT_EQ(layout.regions.size(), names.size());
    const double edges[] = {0.0, 0.02, 0.03, 0.032, 0.052, 0.057};
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(layout.regions[i].name, names[i]);
        EXPECT_NEAR(layout.regions[i].inner, edges[i], 1e-15) << i;
        EXPECT_EQ(layout.regions[i].moving, i < 2) << i;
    }
    EXPECT_FALSE(layout.innerIron);
    EXPECT_FALSE(layout.outerIron);
    EXPECT_EQ(layout.gapIndex, 2u);
    EXPECT_TRUE(std::isinf(layout.regions.back().outer));
}

TEST(StackLayout, RefusesFaultyRegionsNamingThem) {
    struct Case {
        const char* message;
        void (*change)(RegionStack&);
    };
    const Case cases[] = {
        {"A stack of regions is linear or cylindrical",
         [](RegionStack& s) { s.geometry = Geometry::Spherical; }},
        {"The pole-pair number of a stack must be positive", [](RegionStack& s) { s.kp = 0.0; }},
        {"The core surface of a stack must lie at a positive radius",
         [](RegionStack& s) { s.coreSurface = 0.0; }},
        {"Region 'core': its relative permeability must be positive",
         [](RegionStack& s) { s.coreMuR = 0.0; }},
        {"Region 'aluminium': its width must be positive",
         [](RegionStack& s) { s.layers[0].width = -1.0; }},
        {"Region 'layer 2': its conductivity must be zero or positive",
         [](RegionStack& s) {
             s.layers.push_back({"", 0.001, -1.0, 1.0, std::nullopt});
         }},
        {"Region 'gap': its width must be positive", [](RegionStack& s) { s.gap = NAN; }},
        {"Region 'winding band': its width must be positive",
         [](RegionStack& s) { s.bandWidth = 0.0; }},
        {"Region 'stator iron': its width must be positive",
         [](RegionStack& s) { s.statorThickness = 0.0; }},
    };
    for (const Case& c : cases) {
        RegionStack s = benchmarkMachine(true, 5);
        c.change(s);
        try {
            solveStack(s, 0.0);
            ADD_FAILURE() << c.message;
        } catch (const CalcError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

// Ideal iron on the axis leaves the field there without a value: the equations of the region
// reaching it cannot be solved, and the refusal names it.
TEST(StackField, RefusesASingularSystemNamingTheRegion) {
    StackLayout layout;
    layout.regions = {{"gap", 0.0, 0.01, 0.0, 1.0, false, false, std::nullopt}};
    layout.sheetInterface = 1;
    try {
        const StackField field(layout, {3, Complex(1.0)}, 0.0);
        ADD_FAILURE();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(),
                     "The field of order 3 cannot be solved: the equations of region 'gap' are "
                     "singular");
    }
    clearFpFaults();
}

}  // namespace
}  // namespace emforce
