// The whole emforce-cli program behind main(), with its streams passed in so tests can drive it.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace emforce::cli {

/// Exit statuses of emforce-cli.
inline constexpr int kExitComplete = 0;
inline constexpr int kExitAbandoned = 1;
inline constexpr int kExitUsage = 2;

/// Runs the program on the arguments after its name and returns its exit status.
int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace emforce::cli
