// The field of a record at points and instants: a single wave against its closed form, the two
// solutions of the one-layer model against each other, a pole pair that repeats, the gap flux
// from B_n against the potential difference, and what cannot be mapped.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "induction/asynchronous_motor.hpp"
#include "model/benchmark_stacks.hpp"
#include "model/seed_stack.hpp"
#include "numerics/fp_guard.hpp"
#include "run/field_map.hpp"

namespace emforce {
namespace {

using C = std::complex<double>;
constexpr double kPi = std::numbers::pi;
constexpr double kMu0 = 1.0 / kNi0;

// The start-up record in a geometry, its layer and gap made of the materials a stack holds.
InputRecord plainRecord(Geometry geometry) {
    InputRecord record = startupRecord();
    record.geometry = geometry;
    record.value(9) = "0";                      // eps / eps0
    record.value(10) = record.value(11) = "1";  // the gap's ni1d, ni2d
    record.value(13) = record.value(14) = "1";  // the layer's ni1, ni2
    record.reluctivityTable[1][1] = record.reluctivityTable[1][2] = "0";
    record.reluctivityTable[2][1] = record.reluctivityTable[2][2] = "0";
    return record;
}

double largest(const FieldGrid& g) {
    double m = 0.0;
    for (double v : g.values) m = std::max(m, std::fabs(v));
    return m;
}

// One wave of a sheet K on ideal iron over a gap g above a layer of width a on ideal iron, all
// linear: A = C·cosh(γx) in the layer, D·cosh(k(x − a)) + E·sinh(k(x − a)) in the gap, with
// γ² = k² + jω_s·μ0·σ, A and A' continuous at a and A'(a + g) = μ0·K.
TEST(FieldMap, SingleLinearWaveIsItsClosedForm) {
    const double k = 20.0, a = 0.005, g = 0.002, sigma = 5e6, f1 = 50.0, n = 5.0;
    const C K(0.0, 3e4);
    InputRecord record = startupRecord();
    record.geometry = Geometry::Linear;
    record.value(12) = "20";
    record.value(15) = "5";
    record.value(16) = "50";
    RegionStack stack;
    stack.coreSurface = 0.0;
    stack.layers = {{"plate", a, sigma, 1.0, std::nullopt}};
    stack.gap = g;
    stack.waves = {{1, Complex(K.real(), K.imag())}};
    record.stack = stack;
    const FieldMap map = FieldMap::solve(record);

    const double omega = 2 * kPi * f1, slip = 2 * kPi * (f1 - n);  // ω_s = ω − k·v, v = 2πn/k
    const C gamma = std::sqrt(C(k * k, slip * kMu0 * sigma));
    // C·γ·sinh(γa) = k·E, C·cosh(γa) = D; D·k·sinh(kg) + E·k·cosh(kg) = μ0·K.
    const C c = kMu0 * K / (k * std::cosh(gamma * a) * std::sinh(k * g) +
                            gamma * std::sinh(gamma * a) * std::cosh(k * g));
    const C d = c * std::cosh(gamma * a), e = c * gamma * std::sinh(gamma * a) / k;
    struct Exact {
        C a, da, j;
    };
    auto exact = [&](double x) -> Exact {
        if (x <= a)
            return {c * std::cosh(gamma * x), c * gamma * std::sinh(gamma * x),
                    -C(0, 1) * slip * sigma * c * std::cosh(gamma * x)};
        const double u = x - a;
        return {d * std::cosh(k * u) + e * std::sinh(k * u),
                k * (d * std::sinh(k * u) + e * std::cosh(k * u)), 0.0};
    };
    const std::vector<FieldRow> rows = {{0.0}, {0.001}, {0.0049}, {a}, {0.006}, {a + g}};
    const std::vector<double> along = {0.0, 0.013, 0.1, 0.2};
    for (const double t : {0.0, 0.0031}) {
        const std::vector<FieldGrid> grids = {map.grid(FieldQuantity::A, rows, along, t),
                                              map.grid(FieldQuantity::Bn, rows, along, t),
                                              map.grid(FieldQuantity::Bt, rows, along, t),
                                              map.grid(FieldQuantity::B, rows, along, t),
                                              map.grid(FieldQuantity::J, rows, along, t)};
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::size_t col = 0; col < along.size(); ++col) {
                const C phase = std::exp(C(0, omega * t - k * along[col]));
                const Exact x = exact(rows[i].r);
                const double bn = (-C(0, k) * x.a * phase).real(), bt = (-x.da * phase).real();
                const double expected[] = {(x.a * phase).real(), bn, bt, std::hypot(bn, bt),
                                           (x.j * phase).real()};
                for (std::size_t q = 0; q < grids.size(); ++q)
                    EXPECT_NEAR(grids[q].at(i, col), expected[q], 1e-11 * largest(grids[q]))
                        << "quantity " << q << " at x = " << rows[i].r << ", y = " << along[col];
            }
    }
}

// The table's one-layer model solved by the induction motor and entered as a stack of regions
// gives one field, to rounding, with every harmonic to 17 of two pole pairs (wave numbers).
TEST(FieldMap, OneLayerModelEqualsItsStack) {
    for (const Geometry geometry : {Geometry::Linear, Geometry::Cylindrical}) {
        InputRecord record = plainRecord(geometry);
        record.value(12) = "2";
        record.highestHarmonic = "17";
        const FieldMap plain = FieldMap::solve(record);
        ASSERT_GT(plain.orders().size(), 3u);
        ModelData data;
        AsynchronousMotor motor(data);
        InputRecord read = record;
        motor.readParameters(read, {});
        record.stack = seedStack(data.params, data.statorSpectrum);
        const FieldMap stacked = FieldMap::solve(record);
        EXPECT_EQ(stacked.orders(), plain.orders());
        const MotorParameters& p = data.params;
        const std::vector<FieldRow> rows = {
            {p.R - p.a}, {p.R - 0.6 * p.a}, {p.R}, {p.R + 0.3 * p.g}, {p.R + p.g}};
        const std::vector<double> along = evenlySpaced(0.0, plain.period(), 7);
        for (const FieldQuantity q : kFieldQuantities) {
            const FieldGrid x = plain.grid(q, rows, along, 0.002), y = stacked.grid(q, rows, along, 0.002);
            for (std::size_t i = 0; i < x.values.size(); ++i)
                EXPECT_NEAR(x.values[i], y.values[i], 1e-9 * largest(x))
                    << fieldQuantityInfo(q).name << " at " << i << ", geometry "
                    << static_cast<int>(geometry);
        }
    }
}

// Odd harmonics of p pole pairs: the field repeats after one pole pair 2π/p and changes sign
// after one pole; likewise in time after one period of the supply and half of it.
TEST(FieldMap, OnePolePairRepeats) {
    InputRecord record = startupRecord();
    record.value(12) = "2";
    record.highestHarmonic = "17";
    for (const Geometry geometry : {Geometry::Cylindrical, Geometry::Spherical}) {
        record.geometry = geometry;
        const FieldMap map = FieldMap::solve(record);
        const double period = map.period(), cycle = 2 * kPi / map.omega();
        const auto [R0, R1] = map.span();
        const std::vector<FieldRow> rows = {{0.5 * (R0 + R1), 1.1}, {R1, 0.9}};
        const std::vector<double> along = {0.3, 0.3 + period, 0.3 + 0.5 * period, 0.3 + 3 * period};
        for (const FieldQuantity q : {FieldQuantity::A, FieldQuantity::Bn, FieldQuantity::Bt}) {
            const FieldGrid g = map.grid(q, rows, along, 0.001);
            const FieldGrid later = map.grid(q, rows, along, 0.001 + 0.5 * cycle);
            const double tolerance = 1e-12 * largest(g);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                EXPECT_NEAR(g.at(i, 1), g.at(i, 0), tolerance);
                EXPECT_NEAR(g.at(i, 3), g.at(i, 0), tolerance);
                EXPECT_NEAR(g.at(i, 2), -g.at(i, 0), tolerance);
                EXPECT_NEAR(later.at(i, 0), -g.at(i, 0), tolerance);
            }
        }
    }
}

// The flux through an arc of the gap, ∫ B_r·r dφ (Simpson over 400 panels), is the difference
// of A at its ends; the stack of the induction benchmark at 1200 rad/s with orders to 51, in
// the gap and in the aluminium.
TEST(FieldMap, GapFluxFromNormalFluxIsThePotentialDifference) {
    InputRecord record = startupRecord();
    record.geometry = Geometry::Cylindrical;
    record.value(12) = "1";
    record.value(16) = "60";
    record.value(15) = std::to_string(1200.0 / (2 * kPi));
    record.stack = inductionBenchmarkStack(true, 51);
    const FieldMap map = FieldMap::solve(record);
    for (const double r : {0.031, 0.025}) {
        const std::size_t panels = 400;
        const double from = 0.2, to = 0.2 + 0.7 * kPi;
        const std::vector<double> along = evenlySpaced(from, to, panels + 1);
        const FieldGrid bn = map.grid(FieldQuantity::Bn, {{r}}, along, 0.0007);
        const FieldGrid a = map.grid(FieldQuantity::A, {{r}}, {from, to}, 0.0007);
        double flux = 0.0;
        for (std::size_t i = 0; i <= panels; ++i)
            flux += bn.at(0, i) * (i == 0 || i == panels ? 1.0 : i % 2 == 1 ? 4.0 : 2.0);
        flux *= r * (to - from) / panels / 3.0;
        EXPECT_NEAR(flux, a.at(0, 1) - a.at(0, 0), 2e-6 * largest(a)) << "r = " << r;
    }
    // The winding band carries the winding's density, the stator iron none.
    const FieldGrid j = map.grid(FieldQuantity::J, {{0.04}, {0.054}}, {0.0}, 0.0);
    EXPECT_GT(std::fabs(j.at(0, 0)), 1e6);
    EXPECT_EQ(j.at(1, 0), 0.0);
}

TEST(FieldMap, RefusesWhatItCannotMap) {
    const FieldMap map = FieldMap::solve(plainRecord(Geometry::Cylindrical));
    auto message = [](auto&& f) {
        try {
            f();
        } catch (const CalcError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([&] { (void)map.profile({{0.2}}); }),
              "The point r = 0,2 m lies outside the machine's regions (0,045 … 0,051 m)");
    EXPECT_EQ(message([] { fieldQuantity("E"); }),
              "Unknown field quantity \"E\": choose A, Bn, Bt, B, H or J");
    EXPECT_EQ(fieldQuantity("bn"), FieldQuantity::Bn);
    InputRecord spherical = startupRecord();
    const FieldMap sphere = FieldMap::solve(spherical);
    EXPECT_EQ(message([&] { (void)sphere.profile({{0.05, 0.0}}); }),
              "The polar angle θ = 0 lies outside (0, π)");
    InputRecord synchronous = startupRecord();
    synchronous.induction = false;
    EXPECT_EQ(message([&] { FieldMap::solve(synchronous); }),
              "The field is computed for the induction motor: choose the induction motor");
}

}  // namespace
}  // namespace emforce
