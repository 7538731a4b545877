// The benchmark machine's example records on the command line: the published torque and rotor
// loss at every speed of the three-phase table, and the regions of the JSON report.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_main.hpp"
#include "files/json.hpp"

namespace emforce::cli {
namespace {

const std::string kExamples = EMFORCE_EXAMPLES_DIR;

const JsonValue& member(const JsonValue& object, std::string_view key) {
    for (const auto& [name, value] : object.members)
        if (name == key) return value;
    throw std::runtime_error("no key " + std::string(key));
}

double number(const JsonValue& v) {
    double d = NAN;
    std::from_chars(v.text.data(), v.text.data() + v.text.size(), d);
    return d;
}

// The JSON report of the example record at the mechanical speed omega [rad/s].
JsonValue reportAt(const std::string& example, double omega) {
    std::ostringstream out, err;
    const std::string n = std::to_string(omega / (2.0 * std::numbers::pi));
    const std::vector<std::string> args = {
        "--record", kExamples + "/" + example, "--set", "15=" + n, "--threads", "1", "--json"};
    const int status = runCommandLine(args, out, err);
    EXPECT_EQ(status, 0) << err.str();
    return parseJson(out.str());
}

struct Published {
    double omega, torque, loss;
};

TEST(Team30a, ThreePhaseExampleGivesThePublishedTable) {
    const Published table[] = {{0, 3.825857, 1455.644},   {200, 6.505013, 1179.541},
                               {400, -3.89264, 120.0092}, {600, -5.75939, 1314.613},
                               {800, -3.59076, 1548.24},  {1000, -2.70051, 1710.686},
                               {1200, -2.24996, 1878.926}};
    for (const Published& p : table) {
        const JsonValue report = reportAt("team30a.json", p.omega);
        const double torque = number(member(member(report, "tabled"), "maxwell"));
        double loss = 0;
        for (const JsonValue& region : member(report, "regions").items)
            loss += number(member(region, "joule"));
        const double tolerance = p.omega == 0 ? 5e-4 : 1e-4;
        EXPECT_NEAR(torque / p.torque, 1.0, tolerance) << "omega " << p.omega;
        EXPECT_NEAR(loss / p.loss, 1.0, tolerance) << "omega " << p.omega;
    }
}

TEST(Team30a, ReportNamesEveryConductingRegion) {
    for (const char* example : {"team30a.json", "team30a_single_phase.json"}) {
        const JsonValue report = reportAt(example, 300);
        std::vector<std::string> names;
        for (const JsonValue& region : member(report, "regions").items) {
            names.push_back(member(region, "name").text);
            EXPECT_GT(number(member(region, "joule")), 0) << example;
        }
        EXPECT_EQ(names, (std::vector<std::string>{"core", "aluminium"})) << example;
        EXPECT_EQ(member(report, "error").kind, JsonValue::Kind::Null) << example;
        EXPECT_NEAR(number(member(member(report, "tabled"), "ratio")), 1.0, 1e-9) << example;
    }
}

}  // namespace
}  // namespace emforce::cli
