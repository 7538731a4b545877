// The byte reader, the check, the message shapes and the scratch files of the fuzz targets.
#include "fuzz_support.hpp"

#include <unistd.h>

#include <array>
#include <cstring>
#include <fstream>

#include "model/input_record.hpp"
#include "model/number_format.hpp"

namespace emforce::fuzz {

namespace fs = std::filesystem;

void check(bool condition, const std::string& what) {
    if (!condition) throw FuzzFailure(what);
}

void checkNumberedSelections(const InputRecord& r) {
    const int geometry = static_cast<int>(r.geometry);
    check(geometry >= 0 && geometry <= 2, "geometry " + std::to_string(geometry));
    check(r.windingPattern >= 0 && r.windingPattern < 14,
          "winding pattern " + std::to_string(r.windingPattern));
    check(r.domain >= 0 && r.domain <= 4, "domain " + std::to_string(r.domain));
    const std::array<size_t, 4> sizes = {kLeftAxisItems.size(), kBottomAxisItems.size(),
                                         kFontSizeItems.size(), kFontSizeItems.size()};
    for (size_t i = 0; i < sizes.size(); ++i)
        check(r.axisDescriptions[i] >= -1 && r.axisDescriptions[i] < static_cast<int>(sizes[i]),
              "axis description index " + std::to_string(r.axisDescriptions[i]));
}

std::uint8_t FuzzInput::byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

int FuzzInput::pick(int count) { return byte() % count; }

double FuzzInput::rawReal() {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = bits << 8 | byte();
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string FuzzInput::text(std::size_t maxLength) {
    const std::size_t length =
        std::min<std::size_t>(byte() % (maxLength + 1), m_size - std::min(m_pos, m_size));
    std::string t(reinterpret_cast<const char*>(m_data) + m_pos, length);
    m_pos += length;
    return t;
}

std::string FuzzInput::rest() {
    if (m_pos >= m_size) return {};
    std::string t(reinterpret_cast<const char*>(m_data) + m_pos, m_size - m_pos);
    m_pos = m_size;
    return t;
}

namespace {

// A message of one kind: the fixed text before and after the part it names.
struct MessageShape {
    std::string_view kind;
    std::string_view prefix;
    std::string_view suffix;
    bool hasArgument;
};

// Every message the program shows for a refused input, a fault or a file it cannot use. They
// are written out here rather than taken from the code, so that a changed wording shows up.
constexpr std::array<MessageShape, 20> kShapes = {{
    {"division by zero", "Floating point division by zero", "", false},
    {"invalid operation", "Invalid floating point operation", "", false},
    {"overflow", "Floating point overflow", "", false},
    {"cancelled", "Calculation cancelled", "", false},
    {"no integration method", "No integration method is selected", "", false},
    {"not a real", "'", "' is not a valid floating point value", true},
    {"not an integer", "'", "' is not a valid integer value", true},
    {"not a boolean", "'", "' is not a valid boolean value", true},
    {"not a listed method", "'", "' is not an integration method of the list", true},
    {"not a choice of Bessel functions", "'", "' is not a valid choice of Bessel functions", true},
    {"not a formulation", "'", "' is not a formulation: choose physical or legacy", true},
    {"harmonic beyond the spectrum", "The highest harmonic order ",
     " is beyond the MMF spectrum: choose an order up to 17", true},
    {"too many points", "The point count ", " is too large: choose at most 100000 points per curve",
     true},
    {"no such winding pattern", "Winding pattern ",
     " does not exist: choose a pattern from 0 to 13", true},
    {"no such domain", "Domain ", " does not exist: choose 0 to 4", true},
    {"impossible input", "Impossible input: ", ")", true},
    {"cannot create file", "Cannot create file ", "", true},
    {"cannot write file", "Cannot write file ", "", true},
    {"cannot open file", "Cannot open file ", "", true},
    {"item index outside its list", "Line ", "", true},
}};

}  // namespace

std::optional<std::string_view> messageKind(std::string_view message, std::string* argument) {
    for (const MessageShape& shape : kShapes) {
        if (!shape.hasArgument) {
            if (message == shape.prefix) return shape.kind;
            continue;
        }
        if (message.size() < shape.prefix.size() + shape.suffix.size() ||
            !message.starts_with(shape.prefix) || !message.ends_with(shape.suffix))
            continue;
        const std::string_view middle = message.substr(
            shape.prefix.size(), message.size() - shape.prefix.size() - shape.suffix.size());
        if (shape.kind == "item index outside its list" &&
            middle.find(": item index ") == std::string_view::npos)
            continue;
        if (argument != nullptr) *argument = std::string(middle);
        return shape.kind;
    }
    return std::nullopt;
}

SeparatorScope::SeparatorScope(char separator) : m_saved(decimalSeparator()) {
    setDecimalSeparator(separator);
}

SeparatorScope::~SeparatorScope() { setDecimalSeparator(m_saved); }

ScratchFile::ScratchFile(std::string_view name)
    : m_path(fs::temp_directory_path() /
             ("emforce-fuzz-" + std::to_string(::getpid()) + "-" + std::string(name))) {}

ScratchFile::~ScratchFile() {
    std::error_code ec;
    fs::remove(m_path, ec);
}

void ScratchFile::write(std::string_view bytes) const {
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    check(static_cast<bool>(out.flush()), "cannot write the scratch file " + m_path.string());
}

}  // namespace emforce::fuzz
