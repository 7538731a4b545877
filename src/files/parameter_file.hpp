// The parameter file: the 84-line text snapshot of the input record, written and read back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "model/input_record.hpp"

namespace emforce {

/// Number of lines of a parameter file.
inline constexpr int kParameterFileLines = 84;

/// The largest parameter file that is read (far more than its 84 lines can need).
inline constexpr std::uintmax_t kParameterFileMaxBytes = 1 << 20;

/// Writes the record as the 84 lines of a parameter file: label lines for the reader and the
/// value texts, indices and booleans of the record. A highest-harmonic text that is none of the
/// list's entries is stored as index -1. Replaces the file safely; throws CalcError
/// "Cannot create file %s" or "Cannot write file %s", the old file then unchanged, and
/// "Cannot write file %s: the text of line N has a line break" for a text that holds a line
/// feed or ends with a carriage return, which the file cannot keep.
void writeParameterFile(const std::filesystem::path& path, const InputRecord& record);

/// The chart's axis titles after a reading: the texts of the selected axis descriptions.
struct AxisTitles {
    std::string left;
    std::string bottom;
};

/// The outcome of reading a parameter file.
struct ParameterFileReading {
    /// Empty when every line was applied; otherwise the message that stopped the reading:
    /// "Cannot open file %s", "Parameter file %s: larger than 1 MiB", or "Line N of file %s: " followed by a conversion message
    /// ("'%s' is not a valid integer value", ...) or "item index I is outside 0..K".
    std::string error;
    /// Set once the axis-description lines were applied: the titles the chart takes now.
    std::optional<AxisTitles> axisTitles;

    [[nodiscard]] bool complete() const { return error.empty(); }
};

/// Reads a parameter file line by line into the record; carriage returns at the end of a line
/// are dropped. Label lines are skipped whatever they hold. Numbers of the tables and gap edits convert with either decimal separator and are
/// stored in the general 15-digit format ("7,0e6" becomes "7000000"); indices and the point
/// count are integers, the motor kind and the curves booleans, the speed limits plain texts.
/// Lines past the end of the file read as empty. The first value that does not convert stops the
/// reading: values before it are applied, later fields keep their old values. Index -1 of the
/// highest-harmonic list (no entry) leaves its text as it is; -1 of an axis-description list is
/// kept, its title then empty.
[[nodiscard]] ParameterFileReading readParameterFile(const std::filesystem::path& path,
                                                     InputRecord& record);

}  // namespace emforce
