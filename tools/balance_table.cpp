// Prints the force, coenergy and power balances of every induction sample set at its tabled
// point, per geometry and highest harmonic, with the accurate and with the series Bessel functions,
// in the physical formulation (or, with --formulation legacy, the legacy one).
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "induction/asynchronous_motor.hpp"
#include "model/sample_sets.hpp"
#include "numerics/fp_guard.hpp"

namespace {

using namespace emforce;

// A balance closes when its ratio is 1 within this; beyond it the row is taken again with
// Simpson and with Gauss 15 on kPanels equal panels of every integral.
constexpr double kClosed = 1e-11;
constexpr int kPanels = 4;

// The input of one row: a sample set, changed by a few parameter-table cells.
struct RowData {
    std::string name;
    int set;
    std::vector<std::pair<int, const char*>> cells;
};

// The values and the three balance ratios at the tabled point, or the message of the failure.
struct Balances {
    double maxwell = 0, force = 0, coenergy = 0, power = 0;
    std::string error;

    [[nodiscard]] double worst() const {
        return error.empty() ? std::fmax(std::fabs(force - 1),
                                         std::fmax(std::fabs(coenergy - 1), std::fabs(power - 1)))
                             : INFINITY;
    }
};

using Member = double (AsynchronousMotor::*)(const double&, const double&, const double&,
                                             const double&, const double&, const double&);

// The formulation of every row, from the command line.
std::string_view g_formulation = kFormulationItems[0];

Balances measure(const RowData& row, Geometry geometry, const char* highest,
                 IntegrationMethod method, std::string_view functions, int panels = 1) {
    InputRecord record = startupRecord();
    applySampleSet(record, kSampleSets[static_cast<size_t>(row.set)]);
    for (const auto& [cell, text] : row.cells) record.value(cell) = text;
    record.geometry = geometry;
    record.highestHarmonic = highest;
    record.integrationMethod = kIntegrationMethodItems[static_cast<size_t>(method)];
    record.besselFunctions = functions;
    record.formulation = g_formulation;
    ModelData data;
    AsynchronousMotor motor(data);
    motor.setRulePanels(panels);
    clearFpFaults();
    try {
        motor.readParameters(record, {});
        const MotorParameters& p = data.params;
        const auto at = [&](Member e) {
            return checkedValue((motor.*e)(p.kp, p.x, p.g, p.a, p.z, p.n));
        };
        using M = AsynchronousMotor;
        const double fm = at(&M::maxwellForce), fl = at(&M::lorentzForce),
                     fmat = at(&M::materialForce);
        const double fimp = at(&M::impulseForce), tec = at(&M::coenergyForce);
        const double ps = at(&M::poyntingPower), pj = at(&M::joulePower),
                     pa = at(&M::anisotropyPower);
        return {fm,
                checkedValue((fl + fmat + fimp) / fm),
                checkedValue((tec + fimp) / fm),
                checkedValue((pj + pa) / ps),
                {}};
    } catch (const CalcError& e) {
        clearFpFaults();
        Balances failed;
        failed.error = e.what();
        return failed;
    }
}

std::string cells(const Balances& b) {
    char text[96];
    if (!b.error.empty()) {
        std::snprintf(text, sizeof text, "%-45s", b.error.c_str());
    } else {
        std::snprintf(text, sizeof text, "%12.5e %+9.1e %+9.1e %+9.1e", b.maxwell, b.force - 1,
                      b.coenergy - 1, b.power - 1);
    }
    return text;
}

const char* geometryName(Geometry g) {
    switch (g) {
        case Geometry::Linear:
            return "linear";
        case Geometry::Cylindrical:
            return "cylindrical";
        case Geometry::Spherical:
            return "spherical";
    }
    return "?";
}

std::vector<RowData> rows() {
    std::vector<RowData> all;
    for (size_t i = 0; i < kSampleSets.size(); ++i) {
        if (kSampleSets[i].name.starts_with("Silnik_Synchroniczny"))
            continue;  // no conductive layer
        all.push_back({std::string(kSampleSets[i].caption), static_cast<int>(i), {}});
    }
    // A large copper rotor: R = 0.2 m, γ = 5.8e7 S/m, otherwise the start-up data.
    all.push_back(
        {"copper rotor R = 0,2 m", kStartupSampleSet, {{0, "0,2"}, {1, "0,2"}, {8, "5,8e7"}}});
    return all;
}

}  // namespace

// Every row: sample set, geometry, highest harmonic, then for each choice the Maxwell force or
// torque and the three balance ratios minus 1: force (Lorentz + material + impulse) / Maxwell,
// coenergy (coenergy + impulse) / Maxwell, power (Joule + anisotropy) / Poynting, Gauss 15.
// The rows of the accurate functions that Gauss 15 leaves open follow with two finer rules.
int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (!args.empty()) {
        const int f = args.size() == 2 && args[0] == "--formulation"
                          ? itemIndex(kFormulationItems, args[1])
                          : -1;
        if (f < 0) {
            std::fprintf(stderr, "usage: balance_table [--formulation physical|legacy]\n");
            return 2;
        }
        g_formulation = kFormulationItems[static_cast<size_t>(f)];
    }
    constexpr Geometry kGeometries[] = {Geometry::Linear, Geometry::Cylindrical,
                                        Geometry::Spherical};
    std::printf("Balances at the tabled point, Gauss 15, %s formulation; each ratio is shown "
                "minus 1\n\n",
                std::string(g_formulation).c_str());
    std::printf("%-38s %-11s %3s | %-45s | %-45s\n", "", "", "", "accurate Bessel functions",
                "series Bessel functions");
    std::printf("%-38s %-11s %3s | %12s %9s %9s %9s | %12s %9s %9s %9s\n", "set", "geometry", "H",
                "Maxwell", "force", "coenergy", "power", "Maxwell", "force", "coenergy", "power");
    struct Open {
        const RowData* row;
        Geometry geometry;
        const char* highest;
    };
    std::vector<Open> open;
    const std::vector<RowData> all = rows();
    for (const RowData& row : all) {
        for (Geometry geometry : kGeometries) {
            for (const char* highest : {"1", "17"}) {
                const Balances accurate =
                    measure(row, geometry, highest, IntegrationMethod::Gauss15, "accurate");
                const Balances series =
                    measure(row, geometry, highest, IntegrationMethod::Gauss15, "series");
                std::printf("%-38s %-11s %3s | %s | %s\n", row.name.c_str(), geometryName(geometry),
                            highest, cells(accurate).c_str(), cells(series).c_str());
                if (accurate.worst() > kClosed) open.push_back({&row, geometry, highest});
            }
        }
    }
    std::printf("\nAccurate rows with a balance beyond %.0e under Gauss 15, with finer rules:\n",
                kClosed);
    std::printf("%-38s %-11s %3s | %-45s | %-45s\n", "", "", "", "Simpson",
                "Gauss 15 on 4 panels of each integral");
    int unclosed = 0;
    for (const Open& o : open) {
        const Balances simpson =
            measure(*o.row, o.geometry, o.highest, IntegrationMethod::Simpson, "accurate");
        const Balances composite =
            measure(*o.row, o.geometry, o.highest, IntegrationMethod::Gauss15, "accurate", kPanels);
        unclosed += std::fmin(simpson.worst(), composite.worst()) > kClosed ? 1 : 0;
        std::printf("%-38s %-11s %3s | %s | %s\n", o.row->name.c_str(), geometryName(o.geometry),
                    o.highest, cells(simpson).c_str(), cells(composite).c_str());
    }
    std::printf("%zu row(s) needed the finer rule, %d of them beyond %.0e with it\n", open.size(),
                unclosed, kClosed);
    return 0;
}
