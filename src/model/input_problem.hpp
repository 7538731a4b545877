// Finding what keeps a record from being read, before a run that would read it starts.
#pragma once

#include <optional>
#include <string>

#include "model/input_record.hpp"
#include "model/parameter_reading.hpp"

namespace emforce {

/// Why a reading of a record stops: the user message, and the source whose text it refuses
/// where there is one (a floating-point fault of the derived values names no source).
struct InputProblem {
    std::string message;
    std::optional<InputLocation> where;
};

/// Reads a copy of the record as a run's first reading does, without asking the layer question
/// and without touching the model; returns the problem that would stop the run there, if any.
/// The floating-point flags of the calling thread are left as they were.
std::optional<InputProblem> findInputProblem(const InputRecord& record);

}  // namespace emforce
