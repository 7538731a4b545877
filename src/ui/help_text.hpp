// The text of the help window.
#pragma once

#include <array>
#include <string_view>

namespace emforce {

/// The lines of the help text, in order; some end in blanks, and the last is empty.
extern const std::array<std::string_view, 53> kHelpLines;

/// "Using the program": what a first day needs, shown before the help text.
extern const std::array<std::string_view, 44> kUsageLines;

/// The heading between the two parts.
inline constexpr std::string_view kTheoryHeading = "WHAT THE PROGRAM COMPUTES";

}  // namespace emforce
