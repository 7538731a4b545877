// The run record: every text and selection of the input record as one JSON file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "model/input_record.hpp"

namespace emforce {

/// The value of the record's "format" key and the version this program writes; it reads every
/// version from 1 up (version 1 knows neither "formulation" nor "stack").
inline constexpr std::string_view kRecordFormat = "emforce-record";
inline constexpr int kRecordVersion = 2;
/// Largest record file that is read; a record of the program is a few kilobytes.
inline constexpr std::uintmax_t kRecordMaxBytes = 1 << 20;

/// The JSON text of the record: "format", "version" and one key per field of the input record,
/// always in the same order. Throws CalcError "the text of key 'K' is not UTF-8" for a text that
/// JSON cannot hold.
std::string recordText(const InputRecord& record);

/// The record held by a JSON text; `source` names it in messages ("Record file %s: ...").
/// Every key is required but "formulation", "stack" (a record without a stack) and "sweepRanges"
/// (all automatic where it is missing). An unknown key, a missing key, a value of the wrong type or
/// out of its range, another format or version and a text that is no JSON are refused with a
/// CalcError naming the key (or the line and column); nothing of such a text is taken.
InputRecord recordFromText(std::string_view text, const std::string& source);

/// Writes the record file, replacing the file safely (see replaceFile); throws CalcError
/// "Cannot create file %s", "Cannot write file %s" or "Cannot write file %s: the text of key
/// 'K' is not UTF-8", the old file then unchanged.
void writeRunRecord(const std::filesystem::path& path, const InputRecord& record);

/// Reads a record file whole. Throws CalcError "Cannot open file %s", "Record file %s: larger
/// than 1 MiB" or a message of recordFromText.
InputRecord readRunRecord(const std::filesystem::path& path);

}  // namespace emforce
