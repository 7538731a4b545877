// The whole emforce-cli program behind main(), with its streams passed in so tests can drive it.
#pragma once

#include <ostream>
#include <span>
#include <string>

#include "cli/command_line.hpp"
#include "model/input_record.hpp"

namespace emforce::cli {

/// Exit statuses of emforce-cli.
inline constexpr int kExitComplete = 0;
inline constexpr int kExitAbandoned = 1;
inline constexpr int kExitUsage = 2;

/// The message of a report that could not be written to the output stream (exit status 1).
inline constexpr const char* kReportNotWritten = "Cannot write the report to standard output";

/// Changes the record by the parameter file, the run record, the sample set and the other
/// options, in that order. Throws CalcError when a file does not read.
void applyToRecord(const CommandLine& cl, InputRecord& record);

/// The start-up record changed as applyToRecord does.
InputRecord buildRecord(const CommandLine& cl);

/// Runs the program on the arguments after its name and returns its exit status.
int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace emforce::cli
