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

/// The start-up record changed by the parameter file, the sample set and the other options, in
/// that order. Throws CalcError when the parameter file does not read.
InputRecord buildRecord(const CommandLine& cl);

/// Runs the program on the arguments after its name and returns its exit status.
int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace emforce::cli
