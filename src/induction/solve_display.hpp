// The two numbers of a field solution that the induction motor's display texts show.
#pragma once

#include <string>

#include "numerics/complex.hpp"

namespace emforce {

/// The layer order λ1 and β·R of one solve of a harmonic: what the two display texts show.
struct SolveDisplay {
    Complex lambda;
    Complex betaTimesR;

    friend bool operator==(const SolveDisplay&, const SolveDisplay&) = default;
};

/// "  lambda =  <Re λ1> + i( <Im λ1> )".
std::string lambdaText(const SolveDisplay& d);
/// "     modul( beta times R ) =  <|β·R|>".
std::string betaRText(const SolveDisplay& d);

}  // namespace emforce
