// The two display texts of a field solution.
#include "induction/solve_display.hpp"

#include "model/number_format.hpp"

namespace emforce {

std::string lambdaText(const SolveDisplay& d) {
    return "  lambda =  " + formatFixed(d.lambda.re(), 7, 7) + " + i( " +
           formatFixed(d.lambda.im(), 7, 7) + " )";
}

std::string betaRText(const SolveDisplay& d) {
    return "     modul( beta times R ) =  " + formatFixed(abs(d.betaTimesR), 7, 1);
}

}  // namespace emforce
