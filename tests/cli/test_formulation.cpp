// The choice of formulation on the command line: the legacy reports bit for bit, the physical
// default, and the Maxwell surface kept in the gap.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_main.hpp"
#include "model/sample_sets.hpp"

namespace emforce::cli {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result runCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = runCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

std::uint64_t fnv1a(std::string_view text) {
    std::uint64_t h = 0xcbf29ce484222325u;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3u;
    }
    return h;
}

// The report without its formulation and regions lines, which the earlier program did not print.
std::string withoutFormulation(std::string json) {
    for (const char* key : {"  \"formulation\": ", "  \"regions\": "}) {
        const size_t at = json.find(key);
        if (at != std::string::npos) json = json.substr(0, at) + json.substr(json.find('\n', at) + 1);
    }
    return json;
}

struct EarlierReport {
    int set;
    bool induction;
    const char* geometry;
    const char* bessel;
    const char* highest;
    int status;
    std::uint64_t digest;
};

constexpr EarlierReport kEarlierReports[] = {
#include "legacy_reports.inc"
};

TEST(Formulation, LegacyGivesTheEarlierReportsBitForBit) {
    for (const EarlierReport& e : kEarlierReports) {
        const std::string caption(kSampleSets[static_cast<size_t>(e.set)].caption);
        const Result r = runCli(
            {"--sample", caption, "--motor", e.induction ? "induction" : "synchronous",
             "--geometry", e.geometry, "--bessel", e.bessel, "--harmonic", e.highest, "--curves",
             "all", "--points", "2", "--threads", "1", "--json", "--formulation", "legacy"});
        const std::string which = caption + ", " + (e.induction ? "induction" : "synchronous") +
                                  ", " + e.geometry + ", " + e.bessel + ", H = " + e.highest;
        EXPECT_EQ(r.status, e.status) << which;
        EXPECT_EQ(fnv1a(withoutFormulation(r.out)), e.digest) << which;
        EXPECT_NE(r.out.find("\"formulation\": \"legacy\""), std::string::npos) << which;
    }
}

TEST(Formulation, ChoiceIsNamedAndAnUnknownOneRefused) {
    EXPECT_NE(runCli({"--curves", "none", "--json"}).out.find("\"formulation\": \"physical\""),
              std::string::npos);
    const Result r = runCli({"--formulation", "modern"});
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_NE(r.err.find("'modern'"), std::string::npos) << r.err;
}

// A copper rotor of R = 0.2 m whose x cell still holds 0.05: far inside the core, where the gap
// solution has lost every digit (the legacy Maxwell torque there is about 1939 N·m).
TEST(Formulation, MaxwellSurfaceOutsideTheGapIsMovedIntoIt) {
    const std::vector<std::string> copper = {"--set",      "1=0,2", "--set",      "8=5,8e7",
                                             "--harmonic", "17",    "--geometry", "cylindrical",
                                             "--curves",   "none",  "--json"};
    const Result physical = runCli(copper);
    ASSERT_EQ(physical.status, kExitComplete) << physical.err;
    EXPECT_NE(
        physical.out.find("\"x = 0,05 lies outside the gap:\", \"Maxwell stress at x = 0,2\""),
        std::string::npos)
        << physical.out;
    EXPECT_NE(physical.out.find("\"ratio\": 0.99999987"), std::string::npos) << physical.out;
    std::vector<std::string> legacy = copper;
    legacy.insert(legacy.end(), {"--formulation", "legacy"});
    const Result old = runCli(legacy);
    EXPECT_EQ(old.out.find("lies outside the gap"), std::string::npos);
    EXPECT_NE(old.out.find("\"maxwell\": 1939.27"), std::string::npos) << old.out;
}

}  // namespace
}  // namespace emforce::cli
