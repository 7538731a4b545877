// emforce-cli --field: the CSV table of a field map through the safe writer, and its usage.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_main.hpp"
#include "files/run_record.hpp"
#include "run/field_map.hpp"

namespace emforce::cli {
namespace {

struct Result {
    int status;
    std::string err;
};

Result runCli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = runCommandLine(args, out, err);
    return {status, err.str()};
}

std::vector<std::string> lines(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The benchmark's stack at 1200 rad/s: the band's current density at the first coil side's
// midline is the file's line, as the field map gives it, in the file's units and layout.
TEST(FieldOutput, WritesTheFieldMapAsCsv) {
    const std::string record = std::string(EMFORCE_EXAMPLES_DIR) + "/team30a.json";
    const auto file = std::filesystem::temp_directory_path() /
                      ("emforce_field_" + std::to_string(::getpid()) + ".csv");
    const Result r = runCli({"--record", record, "--set", "15=190,9859317102744", "--curves",
                             "none", "--field", "j", "--field-out", file.string(), "--field-r",
                             "0,042", "--field-t", "0.001", "--field-points", "7,5"});
    ASSERT_EQ(r.status, kExitComplete) << r.err;
    const std::vector<std::string> table = lines(file);
    ASSERT_EQ(table.size(), 6u);  // the one radius of --field-r, five positions
    EXPECT_EQ(table[0], "r [m],phi [rad],t [s],J [A/m²]");
    InputRecord inputs = readRunRecord(record);
    inputs.value(15) = "190,9859317102744";
    const FieldGrid g =
        FieldMap::solve(inputs).grid(FieldQuantity::J, {{0.042}}, {0.0}, 0.001);
    std::ostringstream expected;
    expected << "0.042,0,0.001,";
    EXPECT_EQ(table[1].substr(0, expected.str().size()), expected.str());
    EXPECT_DOUBLE_EQ(std::stod(table[1].substr(expected.str().size())), g.at(0, 0));
    std::filesystem::remove(file);
}

TEST(FieldOutput, RefusesWhatItCannotWrite) {
    EXPECT_EQ(runCli({"--field", "E", "--field-out", "x.csv"}).status, kExitUsage);
    EXPECT_EQ(runCli({"--field", "B"}).err, "emforce-cli: --field needs --field-out FILE (try --help)\n");
    EXPECT_EQ(runCli({"--field-out", "x.csv"}).status, kExitUsage);
    EXPECT_EQ(runCli({"--field", "B", "--field-out", "x.csv", "--field-points", "0,5"}).status,
              kExitUsage);
    // A point outside the machine abandons the output, like a file that cannot be written.
    const Result outside =
        runCli({"--curves", "none", "--field", "B", "--field-out", "/dev/null", "--field-r", "1"});
    EXPECT_EQ(outside.status, kExitAbandoned);
    EXPECT_NE(outside.err.find("lies outside the machine's regions"), std::string::npos);
}

}  // namespace
}  // namespace emforce::cli
