// The seventeen built-in parameter sets and how a set is written into the input record.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "model/input_record.hpp"

namespace emforce {

/// One built-in set: its name, its menu caption and its 25 value texts, in the order of the
/// parameter-table rows 0..17 and 19..21, then ni12 re/im and ni21 re/im of the reluctivity table.
struct SampleSet {
    std::string_view name;
    std::string_view caption;
    std::array<std::string_view, 25> values;
};

/// The sets in menu order.
extern const std::array<SampleSet, 17> kSampleSets;
/// Index of the set the program starts with, "updated Workshop data".
inline constexpr int kStartupSampleSet = 1;

/// Writes the set's 25 texts into the record and changes nothing else.
void applySampleSet(InputRecord& record, const SampleSet& set);

/// The set whose caption is `caption` exactly, or ignoring surrounding blanks and letter case.
std::optional<int> findSampleSet(std::string_view caption);

}  // namespace emforce
