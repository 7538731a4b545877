// Number conversions and display formats.
#include "model/number_format.hpp"

#include <gtest/gtest.h>

#include <cfenv>
#include <limits>
#include <string>
#include <utility>

#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

struct Real {
    const char* text;
    double value;
};

TEST(NumberFormat, AcceptsTheFormsOfTheBuiltInTexts) {
    const Real cases[] = {{"0,05", 0.05},   {"7,0e6", 7e6},         {"1e+08", 1e8},
                          {"1e-17", 1e-17}, {"000,0", 0.0},          {"    0000000 ", 0.0},
                          {"-0,7", -0.7},   {"1,0471975511", 1.0471975511}, {"+5", 5.0},
                          {"1,0e0", 1.0},   {"5,", 5.0},             {",5", 0.5},
                          {"0.05", 0.05},   {"-1.5E-3", -1.5e-3},    {".5", 0.5}};
    for (const Real& c : cases) EXPECT_DOUBLE_EQ(toReal(c.text), c.value) << c.text;
}

TEST(NumberFormat, RefusesWhatIsNotANumberHere) {
    for (const char* text : {"1.000.000", "nan", "inf", "-inf", "0x1p3", "1 000", "1.000,5", "5abc",
                             "", "   ", "e5", ",", ".", "1e", "1e+", "1,0,0", "1,000.5", "1e999", "--1", "+-1"}) {
        try {
            toReal(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const CalcError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
}

TEST(NumberFormat, ParsingLeavesNoFloatingPointFlags) {
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_THROW(toReal("1e999"), CalcError);
    EXPECT_DOUBLE_EQ(toReal("1e-310"), 1e-310);
    EXPECT_EQ(std::fetestexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO), 0);
}

TEST(NumberFormat, TheSeparatorSettingChangesTheShownTextsOnly) {
    setDecimalSeparator('.');
    EXPECT_DOUBLE_EQ(toReal("0.05"), 0.05);
    EXPECT_DOUBLE_EQ(toReal("7,0e6"), 7e6);
    EXPECT_THROW(toReal("1,000.5"), CalcError);
    EXPECT_EQ(formatFixed(2.36, 4, 1), "2.4");
    setDecimalSeparator(',');
    EXPECT_DOUBLE_EQ(toReal("0.05"), 0.05);
    EXPECT_EQ(formatFixed(2.36, 4, 1), "2,4");
}

TEST(NumberFormat, IntegersAndBooleans) {
    EXPECT_EQ(toInteger(" 17 "), 17);
    EXPECT_EQ(toInteger("-3"), -3);
    EXPECT_EQ(toInteger("+3"), 3);
    for (const char* text : {"1,5", "0x10", "$10", "", "5a", "99999999999", "+-3"}) {
        EXPECT_THROW(
            {
                try {
                    toInteger(text);
                } catch (const CalcError& e) {
                    EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value");
                    throw;
                }
            },
            CalcError);
    }
    EXPECT_TRUE(toBoolean("True"));
    EXPECT_TRUE(toBoolean("tRUE"));
    EXPECT_FALSE(toBoolean("FALSE"));
    EXPECT_FALSE(toBoolean("0"));
    EXPECT_TRUE(toBoolean("1"));
    try {
        toBoolean("yes");
        ADD_FAILURE();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), "'yes' is not a valid boolean value");
    }
}

struct Formatted {
    double value;
    int precision;
    int digits;
    const char* text;
};

TEST(NumberFormat, ExponentFormat) {
    const Formatted cases[] = {{-0.5, 3, 2, "-5,00E-01"},
                               {0.0, 7, 3, "0,000000E+000"},
                               {1234.5678, 10, 3, "1,234567800E+003"},
                               {-1.0e-12, 10, 3, "-1,000000000E-012"},
                               {9.9999999999, 3, 3, "1,00E+001"},
                               {2.5e6, 1, 1, "3E+6"}};
    for (const Formatted& c : cases) EXPECT_EQ(formatExponent(c.value, c.precision, c.digits), c.text);
}

TEST(NumberFormat, FixedFormat) {
    const Formatted cases[] = {{2.36, 4, 1, "2,4"},
                               {0.0, 4, 1, "0,0"},
                               {1.0, 11, 10, "1,0000000000"},
                               {0.99999999999, 11, 10, "1,0000000000"},
                               {13.333333, 3, 0, "13"},
                               {100.0, 3, 0, "100"},
                               {-0.00001, 4, 1, "0,0"},
                               {1234.56, 4, 1, "1235,0"},
                               {0.00123456, 4, 10, "0,0012350000"}, {12.5, 3, 0, "13"},
                               {12345.6, 4, 1, "1,235E+4"},
                               {0.05, 7, 1, "0,1"}};
    for (const Formatted& c : cases) EXPECT_EQ(formatFixed(c.value, c.precision, c.digits), c.text) << c.value;
}

TEST(NumberFormat, GeneralFormat) {
    EXPECT_EQ(formatGeneral(7e6), "7000000");
    EXPECT_EQ(formatGeneral(0.0), "0");
    EXPECT_EQ(formatGeneral(0.05), "0,05");
    EXPECT_EQ(formatGeneral(0.5), "0,5");
    EXPECT_EQ(formatGeneral(-1.25), "-1,25");
    EXPECT_EQ(formatGeneral(1e-17), "1E-17");
    EXPECT_EQ(formatGeneral(1e20), "1E20");
    EXPECT_EQ(formatGeneral(1.0471975511), "1,0471975511");
    EXPECT_EQ(formatGeneral(0.1 + 0.2), "0,3");
}

TEST(NumberFormat, ValuesThatAreNotFiniteHaveTheirOwnTexts) {
    const std::pair<double, const char*> cases[] = {
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
        {std::numeric_limits<double>::quiet_NaN(), "NAN"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatExponent(value, 10, 3), text);
        EXPECT_EQ(formatFixed(value, 4, 1), text);
        EXPECT_EQ(formatGeneral(value), text);
    }
}

}  // namespace
}  // namespace emforce
