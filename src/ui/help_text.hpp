// The text of the help window.
#pragma once

#include <array>
#include <string_view>

namespace emforce {

/// The lines of the help text, in order; some end in blanks, and the last is empty.
extern const std::array<std::string_view, 53> kHelpLines;

}  // namespace emforce
