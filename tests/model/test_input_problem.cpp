// Finding the problem that would stop a run's first reading, before the run starts.
#include "model/input_problem.hpp"

#include <gtest/gtest.h>

#include <cfenv>

namespace emforce {
namespace {

TEST(InputProblem, TheFirstRefusedSourceInReadingOrder) {
    InputRecord record = startupRecord();
    record.value(9) = "1,0x";  // eps, read twentieth
    record.value(2) = "-1";    // g, read sixth
    const auto problem = findInputProblem(record);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message,
              "Impossible input: gap width g [m] = -1 (the gap width must be greater than 0)");
    EXPECT_EQ(problem->where, (InputLocation{InputSource::ParameterTable, 2, 1}));
}

TEST(InputProblem, AFaultOfTheDerivedValuesNamesNoSource) {
    InputRecord record = startupRecord();
    record.value(12) = "0";  // f1 / kp
    std::feclearexcept(FE_ALL_EXCEPT);
    const auto problem = findInputProblem(record);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message, kDivisionByZero);
    EXPECT_FALSE(problem->where);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);
}

TEST(InputProblem, ARecordThatReadsHasNoneAndStaysAsItWas) {
    InputRecord record = startupRecord();
    record.value(0) = "0,07";
    record.value(3) = "0,05";  // a = R: a question for the run, no problem of the reading
    EXPECT_FALSE(findInputProblem(record));
    EXPECT_EQ(record.value(0), "0,07");
}

}  // namespace
}  // namespace emforce
