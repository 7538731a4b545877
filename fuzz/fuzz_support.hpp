// What the fuzz targets share: the targets themselves, a reader of the fuzz bytes, the failure
// of a target's check and the shapes of the program's own messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace emforce {
struct InputRecord;
}

namespace emforce::fuzz {

/// The fuzz targets. Each takes any bytes, returns 0 and throws FuzzFailure when the code under
/// test broke one of its promises; any other escaping exception is a failure too.
int fuzzNumbers(const std::uint8_t* data, std::size_t size);
int fuzzParameterFile(const std::uint8_t* data, std::size_t size);
int fuzzDataFile(const std::uint8_t* data, std::size_t size);
int fuzzCommandLine(const std::uint8_t* data, std::size_t size);
int fuzzRun(const std::uint8_t* data, std::size_t size);
int fuzzBessel(const std::uint8_t* data, std::size_t size);
int fuzzRecord(const std::uint8_t* data, std::size_t size);

/// A broken promise of the code under test; what() says which.
class FuzzFailure : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

/// Throws FuzzFailure with `what` unless `condition` holds.
void check(bool condition, const std::string& what);

/// Checks that the selections a record holds as numbers (geometry, winding pattern, domain,
/// axis descriptions) lie inside their lists.
void checkNumberedSelections(const InputRecord& record);

/// Takes the fuzz bytes from the front; an exhausted input reads as zeros.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    /// The next byte.
    std::uint8_t byte();
    /// A choice among `count` (> 0) alternatives.
    int pick(int count);
    /// One bit's worth of choice.
    bool flag() { return (byte() & 1) != 0; }
    /// The next eight bytes as the bits of a double (any value, NaN and infinities included).
    double rawReal();
    /// A text of at most `maxLength` bytes, its length taken from the input first.
    std::string text(std::size_t maxLength);
    /// Everything not yet taken.
    std::string rest();
    [[nodiscard]] bool exhausted() const { return m_pos >= m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

/// The kind of one of the program's messages for the user ("floating point overflow",
/// "conversion", ...), or nothing for a text that is none of them. `argument`, when given,
/// receives the text the message names in place of its %s.
std::optional<std::string_view> messageKind(std::string_view message,
                                            std::string* argument = nullptr);

/// Sets the decimal separator for the lifetime of the scope and restores the previous one.
class SeparatorScope {
public:
    explicit SeparatorScope(char separator);
    ~SeparatorScope();
    SeparatorScope(const SeparatorScope&) = delete;
    SeparatorScope& operator=(const SeparatorScope&) = delete;

private:
    char m_saved;
};

/// A file of this process in the temporary directory, removed on destruction.
class ScratchFile {
public:
    explicit ScratchFile(std::string_view name);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    /// Replaces the file's contents.
    void write(std::string_view bytes) const;
    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace emforce::fuzz
