// Result data files: the number format, reading back as the plotting does, and safe replacement.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/data_file.hpp"
#include "model/number_format.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

namespace fs = std::filesystem;

class DataFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir =
            fs::temp_directory_path() / ("emforce-data-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    [[nodiscard]] fs::path file() const { return m_dir / dataFileName('B'); }
    void put(const std::string& text) const { std::ofstream(file(), std::ios::binary) << text; }
    [[nodiscard]] std::string contents() const {
        std::ostringstream text;
        text << std::ifstream(file(), std::ios::binary).rdbuf();
        return text.str();
    }
    [[nodiscard]] size_t filesInDirectory() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    fs::path m_dir;
};

void expectCalcError(const std::function<void()>& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const CalcError& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
}

TEST_F(DataFile, WritesSixSignificantDigitsWithAPoint) {
    EXPECT_EQ(file().filename(), "Data_B.txt");
    writeDataFile(file(), {0.05, 1e-7, 123456, 1234567, 0.0001, 1.234e-5, 0, 1.0 / 3},
                  {2.5e6, -0.5, 100, 1e100, 1.5e-300, -0.0, 999999.7, 40});
    EXPECT_EQ(contents(),
              "0.05\n2.5e+06\n1e-07\n-0.5\n123456\n100\n1.23457e+06\n1e+100\n0.0001\n1.5e-300\n"
              "1.234e-05\n-0\n0\n1e+06\n0.333333\n40\n");
    // A curve saved before any run, or a sweep stopped between the two values of a point.
    writeDataFile(file(), {}, {});
    EXPECT_EQ(contents(), "");
    writeDataFile(file(), {1, 2}, {3});
    EXPECT_EQ(contents(), "1\n3\n");
}

TEST_F(DataFile, ACurveOf101PointsMakes202LinesAndPlotsBack) {
    std::vector<double> x, y;
    for (int k = 0; k <= 100; ++k) {
        x.push_back(k * 0.5);
        y.push_back(1.0 / (k + 3.0) - 0.1);
    }
    writeDataFile(file(), x, y);
    EXPECT_EQ(std::ranges::count(contents(), '\n'), 202);
    const DataFileReading reading = readDataFile(file());
    ASSERT_TRUE(reading.opened);
    EXPECT_EQ(reading.badLineCount, 0);
    ASSERT_EQ(reading.x.size(), 101u);
    ASSERT_EQ(reading.y.size(), 101u);
    for (size_t k = 0; k <= 100; ++k) {
        EXPECT_DOUBLE_EQ(reading.x[k], x[k]);
        EXPECT_NEAR(reading.y[k], y[k], 5e-6 * std::abs(y[k]));  // half a unit of the 6th digit
    }
}

TEST_F(DataFile, RandomCurvesPlotBackToSixDigitsUnderEitherSeparator) {
    std::mt19937 rng(20261210);
    auto below = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    // Magnitudes over the whole range, subnormals included, and zeros of either sign.
    auto value = [&] {
        if (below(10) == 0) return below(2) ? 0.0 : -0.0;
        const double mantissa = std::uniform_real_distribution<double>(1, 10)(rng);
        return (below(2) ? -1 : 1) * mantissa * std::pow(10.0, below(631) - 323);
    };
    for (const char separator : {',', '.'}) {
        setDecimalSeparator(separator);
        for (int k = 0; k < 50; ++k) {
            std::vector<double> x(static_cast<size_t>(below(40))), y(x.size());
            std::ranges::generate(x, value);
            std::ranges::generate(y, value);
            writeDataFile(file(), x, y);
            const DataFileReading reading = readDataFile(file());
            ASSERT_EQ(reading.badLineCount, 0) << contents();
            ASSERT_EQ(reading.x.size(), x.size());
            ASSERT_EQ(reading.y.size(), y.size());
            for (size_t i = 0; i < x.size(); ++i) {
                // Half a unit of the sixth digit, or of the last digit a subnormal has.
                EXPECT_NEAR(reading.x[i], x[i], 5e-6 * std::abs(x[i]) + 1e-323);
                EXPECT_NEAR(reading.y[i], y[i], 5e-6 * std::abs(y[i]) + 1e-323);
            }
        }
    }
    setDecimalSeparator(',');
}

TEST_F(DataFile, ReadsLinesInTurnAsTheyConvert) {
    struct Case {
        const char* text;
        std::vector<double> x, y;
        int badLineCount, firstBadLine;
    };
    const std::string longLine = "1.0000000000000000000000000000000000000001";
    const Case cases[] = {
        {"1\n2\n3\n4\n5\n", {1, 3}, {2, 4}, 0, 0},
        {"1,5\n2.5\n-3,5e2\n4.5e-1\n", {1.5, -350}, {2.5, 0.45}, 0, 0},
        // The failed third line still takes the abscissa's turn: 4 becomes an ordinate.
        {"1\n2\nabc\n4\n5\n6\n", {1, 5}, {2, 4}, 1, 3},
        {"1\n\n3\n4\n", {1, 3}, {4}, 1, 2},
        {"x\n2\n3\ny\nz\n6\n", {3}, {2, 6}, 3, 1},
        {"1\r\n2\r\n", {1}, {2}, 0, 0},
        {"1\n2\n3\n4", {1, 3}, {2, 4}, 0, 0},
        {"", {}, {}, 0, 0},
    };
    for (const Case& c : cases) {
        put(c.text);
        const DataFileReading reading = readDataFile(file());
        EXPECT_TRUE(reading.opened);
        const size_t points = std::min(c.x.size(), c.y.size());
        EXPECT_EQ(reading.x,
                  std::vector<double>(c.x.begin(), c.x.begin() + static_cast<long>(points)))
            << c.text;
        EXPECT_EQ(reading.y,
                  std::vector<double>(c.y.begin(), c.y.begin() + static_cast<long>(points)))
            << c.text;
        EXPECT_EQ(reading.badLineCount, c.badLineCount) << c.text;
        EXPECT_EQ(reading.firstBadLine, c.firstBadLine) << c.text;
    }
    put(longLine + "\n2\n" + longLine + "\n4\n");
    EXPECT_EQ(readDataFile(file()).x.size(), 2u);
}

TEST_F(DataFile, AFileThatCannotBeOpenedGivesNoPoints) {
    const DataFileReading reading = readDataFile(m_dir / "missing.txt");
    EXPECT_FALSE(reading.opened);
    EXPECT_TRUE(reading.x.empty());
    EXPECT_FALSE(readDataFile(m_dir).opened);
}

TEST_F(DataFile, ReplacingIsAllOrNothing) {
    put("old and much longer contents\n");
    replaceFile(file(), "new\n");
    EXPECT_EQ(contents(), "new\n");
    EXPECT_EQ(filesInDirectory(), 1u);

    const fs::path nowhere = m_dir / "missing" / "Data_A.txt";
    expectCalcError([&] { replaceFile(nowhere, "x\n"); }, "Cannot create file " + nowhere.string());
    expectCalcError([&] { replaceFile(m_dir, "x\n"); }, "Cannot create file " + m_dir.string());

    // A write that fails half-way (the file size limit applies to every user) keeps the old file.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    expectCalcError(
        [&] { writeDataFile(file(), std::vector<double>(50, 1.5), std::vector<double>(50, 2.5)); },
        "Cannot write file " + file().string());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(contents(), "new\n");
    EXPECT_EQ(filesInDirectory(), 1u);
}

TEST_F(DataFile, ReplacingThroughALinkKeepsTheLink) {
    put("old\n");
    const fs::path link = m_dir / "link.txt";
    fs::create_symlink(file().filename(), link);
    replaceFile(link, "new\n");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contents(), "new\n");
}

}  // namespace
}  // namespace emforce
