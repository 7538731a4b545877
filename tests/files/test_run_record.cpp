// The run record: its round trip, the refusals that name the key, and the file itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "files/run_record.hpp"
#include "model/benchmark_stacks.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

namespace fs = std::filesystem;

// A record unlike the start-up one in every field, with texts that JSON must escape.
InputRecord changedRecord() {
    InputRecord r = startupRecord();
    for (int row = 0; row < kParameterRows; ++row) {
        r.parameterTable[static_cast<size_t>(row)][0] = "label \"" + std::to_string(row) + "\"";
        r.value(row) = std::to_string(row) + ",5";
    }
    r.reluctivityTable = {{{"a", "b", "c"}, {"d\\", "0,1", "0,2"}, {"e\tf", "0,3", "µ"}}};
    r.ni12dGap = "0,25";
    r.ni21dGap = "line\nbreak";
    r.minSpeed = "-5,5";
    r.maxSpeed = "no number, kept as typed";
    r.sweepRanges[1] = {"0,002", ""};
    r.sweepRanges[4] = {"", "-1,5"};
    r.pointsPerCurve = "\x01";
    r.integrationMethod = "Simpson integration meth.";
    r.besselAccuracy = "1e-5";
    r.besselLimit = "40";
    r.besselFunctions = "series";
    r.formulation = "physicalish";
    r.highestHarmonic = "18";
    r.geometry = Geometry::Linear;
    r.induction = false;
    r.windingPattern = 13;
    r.domain = 0;
    r.curves = {false, false, true, true, true, true, true, true, true, true};
    r.axisDescriptions = {-1, 13, 13, -1};
    RegionStack& stack = r.stack.emplace();
    stack.core = CoreKind::Air;
    stack.coreSurface = 0.125;
    stack.layers = {{"coat \"1\"", 1e-3, 5.8e7, 1.0, std::nullopt},
                    {"", 0.1, 0.0, 2.5, Reluctivity{0.5, 2.0, {0.1, -0.2}, {-1e-300, 3.0}}}};
    stack.gap = 1.0 / 3.0;
    stack.winding = {{{0.5, 1.0, 1, -1, 250.0}}, {0.0, -2.0}};
    stack.highestOrder = 999;
    return r;
}

// The benchmark machine's stack with what a record keeps of it: the table gives the rest.
RegionStack benchmarkStack() {
    RegionStack stack = inductionBenchmarkStack(true, 51);
    stack.omega = RegionStack{}.omega;
    return stack;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string refusal(const std::string& text) {
    try {
        recordFromText(text, "t.json");
    } catch (const CalcError& e) {
        return e.what();
    }
    return "accepted";
}

fs::path tempPath(const std::string& name) {
    return fs::temp_directory_path() /
           ("emforce_record_" + std::to_string(::getpid()) + "_" + name);
}

TEST(RunRecord, EveryFieldReadsBackAsItWasWritten) {
    InputRecord benchmark = startupRecord();
    benchmark.stack = benchmarkStack();
    for (const InputRecord& r : {startupRecord(), changedRecord(), benchmark})
        EXPECT_TRUE(recordFromText(recordText(r), "t.json") == r);
    EXPECT_FALSE(recordFromText(recordText(benchmark), "t.json") == startupRecord());
    const std::string text = recordText(startupRecord());
    EXPECT_EQ(text.find("\"stack\""), std::string::npos);
    EXPECT_EQ(text.substr(0, 48), "{\n  \"format\": \"emforce-record\",\n  \"version\": 2,\n");
    EXPECT_NE(text.find("\n  \"besselFunctions\": \"accurate\",\n"), std::string::npos);
    EXPECT_NE(text.find("\n  \"curves\": [true, true, false, false, false, false, false, false, "
                        "false, false],\n"),
              std::string::npos);
}

TEST(RunRecord, RefusesWhatItCannotTakeNamingTheKey) {
    const std::string good = recordText(startupRecord());
    const std::string prefix = "Record file t.json: ";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {replaced(good, "\"version\": 2,", "\"version\": 2,\n  \"colour\": \"red\","),
         "unknown key 'colour'"},
        {replaced(good, "\"maxSpeed\": \"50\",", ""), "missing key 'maxSpeed'"},
        {replaced(good, "\"minSpeed\": \"0\"", "\"minSpeed\": 0"), "key 'minSpeed' must be a text"},
        {replaced(good, "\"induction\"", "\"electric\""),
         "key 'motor' must be one of \"induction\", \"synchronous\""},
        {replaced(good, "\"spherical\"", "2"),
         "key 'geometry' must be one of \"linear\", \"cylindrical\", \"spherical\""},
        {replaced(good, "\"windingPattern\": 1", "\"windingPattern\": 14"),
         "key 'windingPattern' must be a whole number from 0 to 13"},
        {replaced(good, "\"domain\": 4", "\"domain\": 4.0"),
         "key 'domain' must be a whole number from 0 to 4"},
        {replaced(good, "[true, true, false,", "[true, false,"),
         "key 'curves' must be a list of 10 booleans"},
        {replaced(good, "[true, true,", "[1, true,"), "key 'curves' must be a list of 10 booleans"},
        {replaced(good, "[0, 0, 4, 4]", "[0, 0, 4, 14]"),
         "key 'axisDescriptions' must be a list of 4 whole numbers in -1..7, -1..13, -1..13, "
         "-1..13"},
        {replaced(good, "\"0,05\"]", "0.05]"),
         "key 'parameterTable' must be a list of 22 rows of 2 texts"},
        {replaced(good, "[\" ni21 / ni0\", \"0,0\", \"0,0\"]", "[\" ni21 / ni0\", \"0,0\"]"),
         "key 'reluctivityTable' must be a list of 3 rows of 3 texts"},
        {replaced(good, "\"emforce-record\"", "\"other\""),
         "not a run record: key 'format' must be \"emforce-record\""},
        {replaced(good, "\"format\": \"emforce-record\",", ""),
         "not a run record: key 'format' must be \"emforce-record\""},
        {replaced(good, "\"version\": 2", "\"version\": 3"),
         "version 3 is not supported: this program reads versions 1 to 2"},
        {replaced(good, "\"version\": 2", "\"version\": \"2\""),
         "key 'version' must be a whole number"},
        {replaced(good, "\"version\": 2,", ""), "missing key 'version'"},
        {"[\"format\"]", "the record is not a JSON object"},
        {replaced(good, "\"version\": 2,", "\"version\": 2"),
         "line 4, column 3: expected ',' or '}'"},
        {replaced(good, "\"domain\": 4", "\"domain\": 4, \"domain\": 4"),
         "line 14, column 16: the key 'domain' appears twice"},
    };
    for (const auto& [text, message] : cases) EXPECT_EQ(refusal(text), prefix + message);
}

// Records written before the formulation could be chosen rerun to the numbers they gave then.
TEST(RunRecord, RecordWithoutAFormulationReadsAsLegacy) {
    const std::string text = recordText(startupRecord());
    EXPECT_NE(text.find("\n  \"formulation\": \"physical\",\n"), std::string::npos);
    InputRecord expected = startupRecord();
    expected.formulation = "legacy";
    EXPECT_TRUE(recordFromText(replaced(text, "\n  \"formulation\": \"physical\",", ""), "t.json") ==
                expected);
}

// A version 1 record reads as a record without a stack; it cannot hold one.
TEST(RunRecord, VersionOneReadsWithoutAStack) {
    InputRecord benchmark = startupRecord();
    benchmark.stack = benchmarkStack();
    const std::string one =
        replaced(recordText(startupRecord()), "\"version\": 2", "\"version\": 1");
    EXPECT_TRUE(recordFromText(one, "t.json") == startupRecord());
    EXPECT_EQ(refusal(replaced(recordText(benchmark), "\"version\": 2", "\"version\": 1")),
              "Record file t.json: unknown key 'stack'");
}

TEST(RunRecord, RefusesWhatAStackCannotTakeNamingItsKey) {
    InputRecord record = startupRecord();
    record.stack = benchmarkStack();
    const std::string good = recordText(record);
    const std::string layer =
        "{\"name\": \"aluminium\", \"width\": 0.01, \"sigma\": 37200000, \"muR\": 1";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {replaced(good, "\"gap\": 0.002,", "\"gap\": \"0.002\","),
         "key 'stack.gap' must be a number"},
        {replaced(good, "\"gap\": 0.002,", ""), "missing key 'stack.gap'"},
        {replaced(good, "\"gap\": 0.002,", "\"gap\": 0.002, \"air\": 1,"),
         "unknown key 'stack.air'"},
        {replaced(good, "\"sigma\": 37200000", "\"sigma\": 1e999"),
         "key 'stack.layers[0].sigma' must be a number"},
        {replaced(good, layer, layer + ", \"colour\": 1"), "unknown key 'stack.layers[0].colour'"},
        {replaced(
             good, layer,
             layer +
                 ", \"reluctivity\": {\"nu1\": 1, \"nu2\": 1, \"nu12\": [0], \"nu21\": [0, 0]}"),
         "key 'stack.layers[0].reluctivity.nu12' must be a list of 2 numbers (re, im)"},
        {replaced(good, "\"kind\": \"solid\"", "\"kind\": \"steel\""),
         "key 'stack.core.kind' must be one of \"ideal iron\", \"solid\", \"air\""},
        {replaced(good, "\"kind\": \"solid\"", "\"kind\": \"air\""),
         "unknown key 'stack.core.sigma'"},
        {replaced(good, "{\"kind\": \"band\", \"width\": 0.02}", "{\"kind\": \"band\"}"),
         "missing key 'stack.excitation.width'"},
        {replaced(good, "\"thickness\": 0.005, ", ""), "missing key 'stack.stator.thickness'"},
        {replaced(good, "\"phase\": 1, \"sign\": -1", "\"phase\": 1, \"sign\": 2"),
         "key 'stack.winding.sides[1].sign' must be a whole number from -1 to 1"},
        {replaced(good, "\"phaseAngles\": [0,", "\"phaseAngles\": [null,"),
         "key 'stack.winding.phaseAngles' must be a number"},
        {replaced(good, "\"highestOrder\": 51", "\"highestOrder\": 1000"),
         "key 'stack.highestOrder' must be a whole number from 1 to 999"},
        {replaced(good, "\"layers\": [", "\"layers\": 0, \"x\": ["),
         "key 'stack.layers' must be a list"},
        {replaced(recordText(startupRecord()), "\"version\": 2,",
                  "\"version\": 2,\n  \"stack\": 5,"),
         "key 'stack' must be an object"},
        {replaced(recordText(startupRecord()), "\"version\": 2,",
                  "\"version\": 2,\n  \"stack\": {},"),
         "missing key 'stack.core'"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(refusal(text), "Record file t.json: " + message);
    // A stack given by its waves has no winding to write.
    record.stack->waves = {{1, Complex(1.0)}};
    EXPECT_THROW(recordText(record), CalcError);
}

TEST(RunRecord, SweepRangesAreKeptAndMayBeMissing) {
    const InputRecord changed = changedRecord();
    const std::string text = recordText(changed);
    EXPECT_NE(text.find("\"sweepRanges\": [\n    [\"\", \"\"],\n    [\"0,002\", \"\"],"),
              std::string::npos);
    // A record of a program without chosen ranges reads with every range automatic.
    const size_t from = text.find("\n  \"sweepRanges\"");
    const size_t to = text.find("\n  \"curves\"");
    std::string older = text;
    older.erase(from, to - from);
    InputRecord expected = changed;
    expected.sweepRanges = {};
    EXPECT_TRUE(recordFromText(older, "t.json") == expected);
    EXPECT_EQ(refusal(replaced(text, "[\"0,002\", \"\"]", "[\"0,002\"]")),
              "Record file t.json: key 'sweepRanges' must be a list of 5 rows of 2 texts");
}

TEST(RunRecord, FileRoundTripAndFailures) {
    const fs::path path = tempPath("r.json");
    writeRunRecord(path, changedRecord());
    EXPECT_TRUE(readRunRecord(path) == changedRecord());

    // A text JSON cannot hold is refused before the old file is touched.
    InputRecord latin1 = startupRecord();
    latin1.minSpeed = "\xB5";
    try {
        writeRunRecord(path, latin1);
        ADD_FAILURE() << "wrote a text that is not UTF-8";
    } catch (const CalcError& e) {
        EXPECT_EQ(e.what(), "Cannot write file " + path.string() +
                                ": the text of key 'minSpeed' is not UTF-8");
    }
    EXPECT_TRUE(readRunRecord(path) == changedRecord());

    std::ofstream(path) << recordText(startupRecord()) << std::string(kRecordMaxBytes, ' ');
    const fs::path absent = tempPath("absent.json");
    for (const auto& [file, message] :
         {std::pair{path, "Record file " + path.string() + ": larger than 1 MiB"},
          std::pair{absent, "Cannot open file " + absent.string()},
          std::pair{fs::temp_directory_path(),
                    "Cannot open file " + fs::temp_directory_path().string()}}) {
        try {
            readRunRecord(file);
            ADD_FAILURE() << file;
        } catch (const CalcError& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
    fs::remove(path);
}

}  // namespace
}  // namespace emforce
