// The one way the program writes a file, and reading a small input file whole.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace emforce {

/// Writes text as the whole content of the file at path. A regular file (or a new one) is
/// replaced atomically: the text goes to a new temporary file of a unique name in the target's
/// directory (created exclusively, never through a link), is flushed to the disk, renamed over
/// the target and the directory flushed, so a failure never leaves a half-written file and the
/// old one stays as it was. An existing file keeps its permissions. A symbolic link is followed
/// to its final target, which is replaced. A character device or a FIFO (/dev/null,
/// /dev/stdout, a pipe) is written directly.
/// Throws CalcError "Cannot create file %s" when the file cannot be created, is
/// write-protected or is neither a regular file, a device nor a FIFO; "Cannot create file %s:
/// its links form a loop" and "Cannot create file %s: its link leads to no file" for a link
/// that never reaches a file; "Cannot write file %s" when writing fails (a full disk or device).
void replaceFile(const std::filesystem::path& path, std::string_view text);

/// The whole content of a file of at most maxBytes bytes; std::nullopt when it cannot be opened
/// or is a directory. Throws CalcError tooLarge when the file holds more (a device that never
/// ends is read no further than that).
[[nodiscard]] std::optional<std::string> readSmallFile(const std::filesystem::path& path,
                                                       std::uintmax_t maxBytes,
                                                       const std::string& tooLarge);

}  // namespace emforce
