// The parameter file: its line layout, the round trip of the record and how a reading stops.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "files/parameter_file.hpp"
#include "model/number_format.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

namespace fs = std::filesystem;

// A record that differs from the start-up record in every field the file carries; its numbers
// are already in the normalised form in which a reading stores them.
InputRecord changedRecord() {
    InputRecord r = startupRecord();
    for (int row = 0; row < kParameterRows; ++row)
        r.value(row) = formatGeneral((row % 2 ? -1 : 1) * (row + 1) * 0.0125);
    r.value(8) = "7000000";
    r.value(9) = "1E-17";
    r.reluctivityTable[1][1] = "0,3";
    r.reluctivityTable[1][2] = "0,5";
    r.reluctivityTable[2][1] = "0,4";
    r.reluctivityTable[2][2] = "-0,7";
    r.ni12dGap = "0,25";
    r.ni21dGap = "-0,125";
    r.induction = false;
    r.geometry = Geometry::Cylindrical;
    r.highestHarmonic = "13";
    r.windingPattern = 11;
    r.pointsPerCurve = "250";
    r.minSpeed = "-5,5";
    r.maxSpeed = "no number, kept as typed";
    r.axisDescriptions = {3, 12, 13, 0};
    r.domain = 2;
    r.curves = {false, true, true, false, true, false, true, true, false, false};
    return r;
}

void expectSameInputs(const InputRecord& a, const InputRecord& b) {
    EXPECT_EQ(a.parameterTable, b.parameterTable);
    EXPECT_EQ(a.reluctivityTable, b.reluctivityTable);
    EXPECT_EQ(a.ni12dGap, b.ni12dGap);
    EXPECT_EQ(a.ni21dGap, b.ni21dGap);
    EXPECT_EQ(a.induction, b.induction);
    EXPECT_EQ(a.geometry, b.geometry);
    EXPECT_EQ(a.highestHarmonic, b.highestHarmonic);
    EXPECT_EQ(a.windingPattern, b.windingPattern);
    EXPECT_EQ(a.pointsPerCurve, b.pointsPerCurve);
    EXPECT_EQ(a.minSpeed, b.minSpeed);
    EXPECT_EQ(a.maxSpeed, b.maxSpeed);
    EXPECT_EQ(a.axisDescriptions, b.axisDescriptions);
    EXPECT_EQ(a.domain, b.domain);
    EXPECT_EQ(a.curves, b.curves);
}

// A record of random fields in the forms a reading stores: numbers in the general format,
// selections inside their lists, speed texts of any characters but line breaks. The file does
// not carry the two accuracy curves, so they keep their start-up values.
InputRecord randomRecord(std::mt19937& rng) {
    auto below = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto number = [&] {
        if (below(8) == 0) return formatGeneral(0.0);
        const double mantissa = std::uniform_real_distribution<double>(1, 10)(rng);
        return formatGeneral((below(2) ? -1 : 1) * mantissa * std::pow(10.0, below(601) - 300));
    };
    auto text = [&] {
        static const std::string characters = " \t,.;:-+eE0123456789abcxyz/ąęłńóśźż";
        std::string t;
        for (int n = below(30); n > 0; --n)
            t += characters[static_cast<size_t>(below(static_cast<int>(characters.size())))];
        return t;
    };
    InputRecord r = startupRecord();
    for (int row = 0; row < kParameterRows; ++row) r.value(row) = number();
    for (size_t row : {1, 2})
        for (size_t column : {1, 2}) r.reluctivityTable[row][column] = number();
    r.ni12dGap = number();
    r.ni21dGap = number();
    r.induction = below(2) == 1;
    r.geometry = static_cast<Geometry>(below(3));
    r.highestHarmonic = kHighestHarmonicItems[static_cast<size_t>(below(9))];
    r.windingPattern = below(14);
    r.pointsPerCurve = std::to_string(below(200001) - 100000);
    r.minSpeed = text();
    r.maxSpeed = text();
    r.axisDescriptions = {below(9) - 1, below(15) - 1, below(15) - 1, below(15) - 1};
    r.domain = below(5);
    for (int slot = 0; slot < 8; ++slot) r.curves[static_cast<size_t>(slot)] = below(2) == 1;
    return r;
}

class ParameterFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("emforce-params-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    [[nodiscard]] fs::path file() const { return m_dir / "motor.txt"; }

    [[nodiscard]] std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::ifstream in(file());
        for (std::string line; std::getline(in, line);) result.push_back(line);
        return result;
    }
    void put(const std::vector<std::string>& lines, const char* end = "\n") const {
        std::ofstream out(file(), std::ios::binary);
        for (const std::string& line : lines) out << line << end;
    }
    // The file of `record` with line `number` (1-based) replaced.
    void putPatched(const InputRecord& record, int number, const std::string& text) const {
        writeParameterFile(file(), record);
        std::vector<std::string> all = lines();
        all[static_cast<size_t>(number - 1)] = text;
        put(all);
    }

    fs::path m_dir;
};

TEST_F(ParameterFile, WritesTheLinesInTheirPlaces) {
    writeParameterFile(file(), changedRecord());
    const std::vector<std::string> all = lines();
    ASSERT_EQ(all.size(), static_cast<size_t>(kParameterFileLines));
    EXPECT_EQ(all[0], "  variable x [m] / r [m] / r [m] =");
    EXPECT_EQ(all[17], "7000000");
    const std::pair<int, const char*> expected[] = {
        {45, " ni12 / ni0"},
        {47, "0,5"},
        {51, " n12d / ni0 for the gap ="},
        {54, "-0,125"},
        {55, "Induction motor"},
        {56, "False"},
        {58, "1"},
        {59, "MMF highest-harmonic equals to 2c+1 with the number c ="},
        {60, "6"},
        {61, "Coil pattern (full pitch or chorded) /by Itemindex of Unit3->Form3->RG/ ="},
        {62, "11"},
        {64, "250"},
        {65, "Minimal speed for F/T  vs. speed curves  ="},
        {68, "no number, kept as typed"},
        {69, "Axis descriptions/fonts sizes:"},
        {71, "12"},
        {72, "13"},
        {74,
         "DOMAIN: x/r/r = 0, the gap width g = 1, layer width = 2, z/z/teta = 3, speed/angle = "
         "4: "},
        {75, "2"},
        {76, "CODOMAINS: "},
        {77, "False"},
        {84, "True"},
    };
    for (const auto& [number, text] : expected)
        EXPECT_EQ(all[static_cast<size_t>(number - 1)], text) << number;

    // Typed values the lists do not hold: no entry for the harmonic, and the spin box's 10.
    InputRecord typed = changedRecord();
    typed.highestHarmonic = "2";
    typed.pointsPerCurve = "many";
    writeParameterFile(file(), typed);
    EXPECT_EQ(lines()[59], "-1");
    EXPECT_EQ(lines()[63], "10");
}

TEST_F(ParameterFile, ReadingBackRestoresEveryField) {
    const InputRecord written = changedRecord();
    writeParameterFile(file(), written);
    InputRecord read = startupRecord();
    const ParameterFileReading reading = readParameterFile(file(), read);
    EXPECT_TRUE(reading.complete()) << reading.error;
    expectSameInputs(read, written);
    ASSERT_TRUE(reading.axisTitles.has_value());
    EXPECT_EQ(reading.axisTitles->left, "Siła elektromagnetyczna  F, N");
    EXPECT_EQ(reading.axisTitles->bottom, "position of integration surface in the gap  x, m");
}

TEST_F(ParameterFile, RandomRecordsReadBackAsWrittenUnderEitherSeparator) {
    std::mt19937 rng(20261210);
    for (const char separator : {',', '.'}) {
        setDecimalSeparator(separator);
        for (int k = 0; k < 100; ++k) {
            const InputRecord written = randomRecord(rng);
            writeParameterFile(file(), written);
            InputRecord read = startupRecord();
            const ParameterFileReading reading = readParameterFile(file(), read);
            EXPECT_TRUE(reading.complete()) << reading.error;
            expectSameInputs(read, written);
            if (HasFailure()) break;
        }
    }
    setDecimalSeparator(',');
}

TEST_F(ParameterFile, NumbersComeBackNormalisedUnderEitherSeparator) {
    InputRecord written = startupRecord();
    written.value(0) = "0.05";
    written.value(1) = "-0,70";
    written.ni12dGap = " 1e+08 ";
    writeParameterFile(file(), written);
    InputRecord read = startupRecord();
    EXPECT_TRUE(readParameterFile(file(), read).complete());
    EXPECT_EQ(read.value(0), "0,05");
    EXPECT_EQ(read.value(1), "-0,7");
    EXPECT_EQ(read.value(8), "5000000");
    EXPECT_EQ(read.value(kSeparatorRow), "0");
    EXPECT_EQ(read.value(5), "1");
    EXPECT_EQ(read.ni12dGap, "100000000");

    setDecimalSeparator('.');
    const ParameterFileReading reading = readParameterFile(file(), read);
    setDecimalSeparator(',');
    EXPECT_TRUE(reading.complete()) << reading.error;
    EXPECT_EQ(read.value(0), "0.05");
    EXPECT_EQ(read.value(12), "1");
}

TEST_F(ParameterFile, LabelLinesAreSkippedWhateverTheyHold) {
    writeParameterFile(file(), changedRecord());
    std::vector<std::string> all = lines();
    for (int number = 1; number <= 43; number += 2) all[static_cast<size_t>(number - 1)] = "";
    for (int number : {45, 48, 51, 53, 55, 57, 59, 61, 63, 65, 67, 69, 74, 76})
        all[static_cast<size_t>(number - 1)] = "edited " + std::to_string(number);
    all[2] = std::string(5000, '-');
    // Line ends of other systems, also after a second conversion.
    for (const char* end : {"\r\n", "\r\r\n"}) {
        put(all, end);
        InputRecord read = startupRecord();
        const ParameterFileReading reading = readParameterFile(file(), read);
        EXPECT_TRUE(reading.complete()) << reading.error;
        expectSameInputs(read, changedRecord());
    }
}

TEST_F(ParameterFile, ATextWithALineBreakIsRefusedAndTheOldFileKept) {
    writeParameterFile(file(), changedRecord());
    const std::vector<std::string> before = lines();
    // A line feed would shift every later line; a carriage return at the end would be dropped.
    const std::pair<std::function<void(InputRecord&)>, int> cases[] = {
        {[](InputRecord& r) { r.minSpeed = "5\n6"; }, 66},
        {[](InputRecord& r) { r.minSpeed = "50\r"; }, 66},
        {[](InputRecord& r) { r.maxSpeed = "\n"; }, 68},
        {[](InputRecord& r) { r.value(3) = "0,1\r\n"; }, 8},
    };
    for (const auto& [change, line] : cases) {
        InputRecord record = changedRecord();
        change(record);
        try {
            writeParameterFile(file(), record);
            ADD_FAILURE() << "wrote the text of line " << line;
        } catch (const CalcError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot write file " + file().string() +
                                                 ": the text of line " + std::to_string(line) +
                                                 " has a line break");
        }
        EXPECT_EQ(lines(), before);
    }
    InputRecord record = changedRecord();
    record.value(3) = "0,\r1";  // inside a line a carriage return is kept
    writeParameterFile(file(), record);
    EXPECT_EQ(lines()[7], "0,\r1");
}

TEST_F(ParameterFile, AFileCutAfterLine60StopsAtTheWindingPattern) {
    writeParameterFile(file(), changedRecord());
    std::vector<std::string> all = lines();
    all.resize(60);
    put(all);
    InputRecord read = startupRecord();
    const ParameterFileReading reading = readParameterFile(file(), read);
    EXPECT_EQ(reading.error,
              "Line 62 of file " + file().string() + ": '' is not a valid integer value");
    EXPECT_FALSE(reading.axisTitles.has_value());
    const InputRecord changed = changedRecord();
    const InputRecord old = startupRecord();
    EXPECT_EQ(read.parameterTable, changed.parameterTable);
    EXPECT_EQ(read.reluctivityTable, changed.reluctivityTable);
    EXPECT_EQ(read.ni21dGap, changed.ni21dGap);
    EXPECT_EQ(read.geometry, changed.geometry);
    EXPECT_EQ(read.highestHarmonic, changed.highestHarmonic);
    EXPECT_EQ(read.windingPattern, old.windingPattern);
    EXPECT_EQ(read.pointsPerCurve, old.pointsPerCurve);
    EXPECT_EQ(read.curves, old.curves);
}

TEST_F(ParameterFile, TheFirstValueThatDoesNotConvertStopsTheReading) {
    putPatched(changedRecord(), 20, "1,0x");
    InputRecord read = startupRecord();
    EXPECT_EQ(readParameterFile(file(), read).error,
              "Line 20 of file " + file().string() + ": '1,0x' is not a valid floating point value");
    EXPECT_EQ(read.value(8), "7000000");
    EXPECT_EQ(read.value(9), startupRecord().value(9));
    EXPECT_EQ(read.ni12dGap, startupRecord().ni12dGap);

    putPatched(changedRecord(), 84, "yes");
    read = startupRecord();
    const ParameterFileReading reading = readParameterFile(file(), read);
    EXPECT_EQ(reading.error,
              "Line 84 of file " + file().string() + ": 'yes' is not a valid boolean value");
    EXPECT_TRUE(reading.axisTitles.has_value());
    EXPECT_EQ(read.domain, 2);
}

TEST_F(ParameterFile, BooleansInAnyCaseOrAsNumbers) {
    writeParameterFile(file(), changedRecord());
    std::vector<std::string> all = lines();
    const std::pair<const char*, bool> cases[] = {
        {"TRUE", true}, {"false", false}, {"tRuE", true}, {"0", false},
        {"1", true},    {"FaLsE", false}, {"2", true},    {" true ", true}};
    for (size_t slot = 0; slot < std::size(cases); ++slot) all[76 + slot] = cases[slot].first;
    all[55] = "1";
    put(all);
    InputRecord read = startupRecord();
    read.induction = false;
    EXPECT_TRUE(readParameterFile(file(), read).complete());
    EXPECT_TRUE(read.induction);
    for (size_t slot = 0; slot < std::size(cases); ++slot)
        EXPECT_EQ(read.curves[slot], cases[slot].second) << slot;
}

TEST_F(ParameterFile, ItemIndicesOutsideTheirListsAreRefused) {
    struct Case {
        int line;
        const char* text;
        const char* range;
    };
    const Case cases[] = {{58, "3", "0..2"},   {58, "-1", "0..2"},  {60, "9", "0..8"},
                          {60, "-2", "0..8"},  {62, "14", "0..13"}, {70, "8", "0..7"},
                          {71, "14", "0..13"}, {75, "5", "0..4"}};
    for (const Case& c : cases) {
        putPatched(changedRecord(), c.line, c.text);
        InputRecord read = startupRecord();
        EXPECT_EQ(readParameterFile(file(), read).error,
                  "Line " + std::to_string(c.line) + " of file " + file().string() +
                      ": item index " + c.text + " is outside " + c.range);
    }
}

TEST_F(ParameterFile, NoEntryKeepsTheHarmonicTextAndEmptiesTheAxisTitle) {
    InputRecord written = changedRecord();
    written.highestHarmonic = "2";
    written.axisDescriptions = {-1, 1, -1, 4};
    writeParameterFile(file(), written);
    InputRecord read = startupRecord();
    read.highestHarmonic = "4";
    const ParameterFileReading reading = readParameterFile(file(), read);
    EXPECT_TRUE(reading.complete()) << reading.error;
    EXPECT_EQ(read.highestHarmonic, "4");
    EXPECT_EQ(read.axisDescriptions, written.axisDescriptions);
    EXPECT_EQ(reading.axisTitles->left, "");
    EXPECT_EQ(reading.axisTitles->bottom, "prędkość  n, obr/s");
}

TEST_F(ParameterFile, MissingFilesAreNamed) {
    InputRecord read = startupRecord();
    const fs::path missing = m_dir / "missing.txt";
    EXPECT_EQ(readParameterFile(missing, read).error, "Cannot open file " + missing.string());
    expectSameInputs(read, startupRecord());

    const fs::path nowhere = m_dir / "missing" / "motor.txt";
    try {
        writeParameterFile(nowhere, read);
        ADD_FAILURE() << "wrote into a missing directory";
    } catch (const CalcError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + nowhere.string());
    }
}

}  // namespace
}  // namespace emforce
