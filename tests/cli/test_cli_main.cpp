// emforce-cli end to end: options, outputs, files and exit statuses.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_main.hpp"
#include "cli/command_line.hpp"
#include "cli/run_report.hpp"

namespace emforce::cli {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result runCli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = runCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

std::filesystem::path tempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() / ("emforce_cli_" + std::to_string(::getpid()) + "_" + name);
}

std::string fileText(const std::filesystem::path& p) {
    std::ifstream in(p);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The value after `"key": ` in a JSON text, up to the next delimiter.
std::string jsonField(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return "<missing>";
    const size_t start = at + key.size() + 4;
    return json.substr(start, json.find_first_of(",}\n", start) - start);
}

TEST(CliMain, DefaultRunPrintsTheWindowTexts) {
    const Result r = runCli({});
    EXPECT_EQ(r.status, kExitComplete) << r.err;
    EXPECT_NE(r.out.find(" h = 1     Ah = 465,5"), std::string::npos);
    EXPECT_NE(r.out.find("Force / Torque balance ratio\n1,0000000000"), std::string::npos);
    EXPECT_NE(r.out.find("Curve 1: F/T Lorentz"), std::string::npos);
    EXPECT_NE(r.out.find("Calculation Time (including chart drawing) = "), std::string::npos);
}

TEST(CliMain, JsonHasEveryKeyAndRoundTripNumbers) {
    const Result r = runCli({"--json", "--curves", "0,1,2,3,4,5,6,7", "--points", "4"});
    ASSERT_EQ(r.status, kExitComplete) << r.err;
    for (const char* key : {"harmonics", "tabled", "report", "curves", "statistics", "odeError",
                            "bessel", "formulation", "edit2", "edit3", "error"})
        EXPECT_NE(r.out.find(std::string("\"") + key + "\": "), std::string::npos) << key;
    EXPECT_EQ(jsonField(r.out, "error"), "null");
    EXPECT_EQ(jsonField(r.out, "bessel"), "\"accurate\"");
    EXPECT_EQ(jsonField(r.out, "formulation"), "\"physical\"");
    EXPECT_NE(jsonField(r.out, "avgBalance"), "null");
    EXPECT_NE(jsonField(r.out, "avgPower"), "null");
    EXPECT_NE(r.out.find("\"harmonics\": [[-1, 0], [1, 465.48"), std::string::npos);
    const std::string maxwell = jsonField(r.out, "maxwell");
    double value = 0;
    std::from_chars(maxwell.data(), maxwell.data() + maxwell.size(), value);
    EXPECT_EQ(roundTrip(value), maxwell);
    EXPECT_NE(r.out.find("\"7\": {\"title\": \"P_Anisotropy\""), std::string::npos);
    EXPECT_EQ(r.out.find("\"8\": "), std::string::npos);
}

TEST(CliMain, AbandonedRunExitsWithOneAndTheMessage) {
    const Result r = runCli({"--set", "12=0", "--json"});  // kp = 0 in the spherical geometry
    EXPECT_EQ(r.status, kExitAbandoned);
    EXPECT_EQ(r.err, "Floating point division by zero\n");
    EXPECT_EQ(jsonField(r.out, "error"), "\"Floating point division by zero\"");
    const Result bad = runCli({"--set", "2=0.001.5"});
    EXPECT_EQ(bad.status, kExitAbandoned);
    EXPECT_EQ(bad.err, "'0.001.5' is not a valid floating point value\n");
    const Result impossible = runCli({"--set", "2=-0,001"});
    EXPECT_EQ(impossible.status, kExitAbandoned);
    EXPECT_EQ(impossible.err,
              "Impossible input: gap width g [m] = -0,001 (the gap width must be greater than 0)\n");
}

TEST(CliMain, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--geometry", "round"}, {"--pattern", "14"}, {"--method", "x"},
          {"--curves", "0,10"}, {"--set", "22=1"}, {"--set", "R"}, {"--sample", "nothing"}, {"--bogus"},
          {"--points"}}) {
        const Result r = runCli(args);
        EXPECT_EQ(r.status, kExitUsage) << args[0];
        EXPECT_NE(r.err.find("(try --help)"), std::string::npos);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    }
}

TEST(CliMain, ChoiceOfBesselFunctions) {
    const Result series = runCli({"--bessel", "series", "--json", "--points", "1"});
    ASSERT_EQ(series.status, kExitComplete) << series.err;
    EXPECT_EQ(jsonField(series.out, "bessel"), "\"series\"");
    // The start-up data are well inside the series' domain: both choices agree closely.
    const Result accurate = runCli({"--json", "--points", "1"});
    double a = 0, s = 0;
    const std::string am = jsonField(accurate.out, "maxwell"),
                      sm = jsonField(series.out, "maxwell");
    std::from_chars(am.data(), am.data() + am.size(), a);
    std::from_chars(sm.data(), sm.data() + sm.size(), s);
    EXPECT_NEAR(a, s, 1e-9 * std::fabs(s));
    const Result bad = runCli({"--bessel", "exact"});
    EXPECT_EQ(bad.status, kExitUsage);
    EXPECT_EQ(bad.err, "emforce-cli: --bessel takes accurate|series, not 'exact' (try --help)\n");
    EXPECT_NE(runCli({"--help"}).out.find("[--bessel accurate|series]"), std::string::npos);
}

TEST(CliMain, OptionsChangeTheRecordInOrder) {
    // The sample set is applied before the other options, whatever their order on the line.
    const Result r = runCli({"--set", "6=100", "--sample", "  DATA 1 ", "--motor", "synchronous", "--geometry",
                             "linear", "--harmonic", "3", "--json", "--curves", "0", "--domain", "0"});
    ASSERT_EQ(r.status, kExitComplete) << r.err;
    EXPECT_NE(r.out.find("[1, " + roundTrip(100 * 1.2732395447351628 * 1.5 * 0.9749079) + "]"), std::string::npos);
    EXPECT_EQ(jsonField(r.out, "statistics"), "{\"avgBalance\": null");
    EXPECT_EQ(jsonField(r.out, "odeError"), "null");
}

TEST(CliMain, EachOptionSetsItsPartOfTheRecord) {
    using Check = std::function<bool(const InputRecord&)>;
    const std::vector<std::pair<std::vector<std::string>, Check>> cases = {
        {{"--motor", "synchronous"}, [](const InputRecord& r) { return !r.induction; }},
        {{"--geometry", "cylindrical"},
         [](const InputRecord& r) { return r.geometry == Geometry::Cylindrical; }},
        {{"--pattern", "13"}, [](const InputRecord& r) { return r.windingPattern == 13; }},
        {{"--harmonic", "7"}, [](const InputRecord& r) { return r.highestHarmonic == "7"; }},
        {{"--method", "0"},
         [](const InputRecord& r) { return r.integrationMethod == "Simpson integration meth."; }},
        {{"--bessel", "series"},
         [](const InputRecord& r) { return r.besselFunctions == "series"; }},
        {{"--bessel-accuracy", "1e-5"},
         [](const InputRecord& r) { return r.besselAccuracy == "1e-5"; }},
        {{"--bessel-limit", "25"}, [](const InputRecord& r) { return r.besselLimit == "25"; }},
        {{"--points", "30"}, [](const InputRecord& r) { return r.pointsPerCurve == "30"; }},
        {{"--domain", "2"}, [](const InputRecord& r) { return r.domain == 2; }},
        {{"--curves", "all"}, [](const InputRecord& r) { return r.curves[9] && r.curves[4]; }},
        {{"--curves", "3,5"},
         [](const InputRecord& r) { return !r.curves[0] && r.curves[3] && r.curves[5]; }},
        {{"--curves", "none"},
         [](const InputRecord& r) { return r.curves == std::array<bool, kCurveSlots>{}; }},
        {{"--min-speed", "-5"}, [](const InputRecord& r) { return r.minSpeed == "-5"; }},
        {{"--max-speed", "75"}, [](const InputRecord& r) { return r.maxSpeed == "75"; }},
        {{"--set", "21=3,0"}, [](const InputRecord& r) { return r.value(21) == "3,0"; }},
        {{"--set", "ni12re=0,1"},
         [](const InputRecord& r) { return r.reluctivityTable[1][1] == "0,1"; }},
        {{"--set", "ni12im=0,2"},
         [](const InputRecord& r) { return r.reluctivityTable[1][2] == "0,2"; }},
        {{"--set", "ni21re=0,3"},
         [](const InputRecord& r) { return r.reluctivityTable[2][1] == "0,3"; }},
        {{"--set", "ni21im=0,4"},
         [](const InputRecord& r) { return r.reluctivityTable[2][2] == "0,4"; }},
        {{"--set", "ni12d=0,5"}, [](const InputRecord& r) { return r.ni12dGap == "0,5"; }},
        {{"--set", "ni21d=0,6"}, [](const InputRecord& r) { return r.ni21dGap == "0,6"; }},
        {{"--sample", "Data 1"}, [](const InputRecord& r) { return r.value(8) == "50,0"; }},
        {{"--set", "8=1", "--set", "8=2"}, [](const InputRecord& r) { return r.value(8) == "2"; }},
    };
    for (const auto& [args, check] : cases) EXPECT_TRUE(check(buildRecord(parseCommandLine(args)))) << args[0] << " " << args[1];
    const CommandLine threads = parseCommandLine(std::vector<std::string>{"--threads", "3", "--literal"});
    EXPECT_EQ(threads.threads, 3);
    EXPECT_TRUE(threads.literal);
}

TEST(CliMain, LayerQuestionIsAnsweredNoOnStandardError) {
    // a = R: the run goes on with the values as read, and its core surface at r = 0 then fails.
    const Result r = runCli({"--set", "3=0,05"});
    EXPECT_EQ(r.status, kExitAbandoned);
    EXPECT_NE(r.err.find("It must be satisfied R > a ! Close application ? (answered No)"), std::string::npos);
}

TEST(CliMain, WritesCsvDataAndParameterFiles) {
    const auto csv = tempPath("curves.csv"), data = tempPath("data.txt"), params = tempPath("params.txt");
    const Result r = runCli({"--points", "2", "--csv", csv.string(), "--save-data", data.string(),
                             "--write-params", params.string(), "--set", "0=0,04"});
    ASSERT_EQ(r.status, kExitComplete) << r.err;
    const std::string table = fileText(csv);
    EXPECT_EQ(table.substr(0, table.find('\n')), "\"speed / power angle\",\"F/T Maxwell\",\"F/T Lorentz\"");
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 4);
    EXPECT_EQ(table.substr(table.find('\n') + 1, 2), "0,");
    const std::string dataText = fileText(data);
    EXPECT_EQ(std::count(dataText.begin(), dataText.end(), '\n'), 6);
    const Result again = runCli({"--params", params.string(), "--json"});
    EXPECT_EQ(again.status, kExitComplete) << again.err;
    const Result plain = runCli({"--points", "2", "--json"});
    EXPECT_EQ(jsonField(again.out, "maxwell"), jsonField(plain.out, "maxwell"));
    const Result missing = runCli({"--params", tempPath("absent.txt").string()});
    EXPECT_EQ(missing.status, kExitAbandoned);
    EXPECT_NE(missing.err.find("Cannot open file"), std::string::npos);
    for (const auto& p : {csv, data, params}) std::filesystem::remove(p);
}

TEST(CliMain, AReportThatCannotBeWrittenIsAFailure) {
    std::ostream broken(nullptr);  // every write fails
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--points", "1"}, {"--help"}, {"--list-samples"}}) {
        std::ostringstream err;
        EXPECT_EQ(runCommandLine(args, broken, err), kExitAbandoned) << args[0];
        EXPECT_EQ(err.str(), std::string(kReportNotWritten) + "\n");
    }
}

TEST(CliMain, ACsvTableThatFailsHalfWayKeepsThePreviousOne) {
    const auto csv = tempPath("kept.csv");
    std::ofstream(csv) << "previous table\n";
    // The file size limit applies to every user: the new table cannot be written whole.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    const Result r = runCli({"--points", "1", "--csv", csv.string()});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(r.status, kExitAbandoned);
    EXPECT_EQ(r.err, "Cannot write file " + csv.string() + "\n");
    EXPECT_EQ(fileText(csv), "previous table\n");
    std::filesystem::remove(csv);
}

TEST(CliMain, ARecordWrittenAndReadBackRerunsToTheSameNumbers) {
    const auto record = tempPath("run.json");
    // The x cell differs from R: the run overwrites it, the record keeps what the run started from.
    const Result first = runCli({"--sample", "Data 1", "--geometry", "linear", "--harmonic", "3", "--method", "6",
                                 "--curves", "0,1,2,3,4,5,6,7", "--points", "4", "--set", "0=0,152", "--set", "8=40",
                                 "--json", "--write-record", record.string()});
    ASSERT_EQ(first.status, kExitComplete) << first.err;
    const Result again = runCli({"--record", record.string(), "--json"});
    ASSERT_EQ(again.status, kExitComplete) << again.err;
    EXPECT_EQ(again.out, first.out);
    // The record comes after the parameter file and before the sample set and the other options.
    EXPECT_EQ(buildRecord(parseCommandLine(std::vector<std::string>{"--record", record.string()})).value(8), "40");
    EXPECT_EQ(buildRecord(parseCommandLine(std::vector<std::string>{"--set", "8=1", "--sample", "Data 1", "--record",
                                                                    record.string()}))
                  .value(8),
              "1");
    std::filesystem::remove(record);
}

TEST(CliMain, JsonReportComesWithEveryFailure) {
    const auto absent = tempPath("absent.txt"), bad = tempPath("bad.json"), dir = tempPath("no_dir");
    std::ofstream(bad) << "{\"format\": \"emforce-record\", \"version\": 1, \"colour\": 1}";
    const std::string unwritable = (dir / "r.json").string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--params", absent.string()}, "Cannot open file " + absent.string()},
        {{"--record", absent.string()}, "Cannot open file " + absent.string()},
        {{"--record", bad.string()}, "Record file " + bad.string() + ": unknown key 'colour'"},
        {{"--points", "1", "--write-record", unwritable}, "Cannot create file " + unwritable},
    };
    for (const auto& [args, message] : cases) {
        std::vector<std::string> withJson = args;
        withJson.push_back("--json");
        const Result r = runCli(withJson);
        EXPECT_EQ(r.status, kExitAbandoned) << args[0];
        EXPECT_EQ(r.err, message + "\n");
        for (const char* key : {"harmonics", "tabled", "report", "curves", "statistics", "odeError", "edit2", "edit3"})
            EXPECT_NE(r.out.find(std::string("\"") + key + "\": "), std::string::npos) << key;
        EXPECT_EQ(jsonField(r.out, "error"), "\"" + message + "\"");
    }
    std::filesystem::remove(bad);
}

TEST(CliMain, ListHelpVersion) {
    const Result list = runCli({"--list-samples"});
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 17);
    EXPECT_NE(list.out.find("updated Workshop data\n"), std::string::npos);
    EXPECT_NE(runCli({"--help"}).out.find("Usage:"), std::string::npos);
    EXPECT_EQ(runCli({"--version"}).out.rfind("emforce-cli ", 0), 0u);
}

}  // namespace
}  // namespace emforce::cli
