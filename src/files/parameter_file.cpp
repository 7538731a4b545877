// Writing and reading the parameter file.
#include "files/parameter_file.hpp"

#include <algorithm>
#include <sstream>
#include <initializer_list>
#include <string_view>

#include "files/safe_file.hpp"
#include "model/number_format.hpp"
#include "model/spectrum.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace fs = std::filesystem;

namespace {

// Label lines after the parameter table; the reader skips them, the human reader needs them.
constexpr std::string_view kNi12Label = " ni12 / ni0";
constexpr std::string_view kNi21Label = " ni21 / ni0";
constexpr std::string_view kNi12dLabel = " n12d / ni0 for the gap =";
constexpr std::string_view kNi21dLabel = " n21d / ni0 for the gap =";
constexpr std::string_view kInductionLabel = "Induction motor";
constexpr std::string_view kGeometryLabel = "Motor linear = 0, cylindrical = 1, spherical = 2: ";
constexpr std::string_view kHarmonicLabel =
    "MMF highest-harmonic equals to 2c+1 with the number c =";
constexpr std::string_view kPatternLabel =
    "Coil pattern (full pitch or chorded) /by Itemindex of Unit3->Form3->RG/ =";
constexpr std::string_view kPointsLabel = "Number of points for all chart curves =";
constexpr std::string_view kMinSpeedLabel = "Minimal speed for F/T  vs. speed curves  =";
constexpr std::string_view kMaxSpeedLabel = "Maximal speed for F/T  vs. speed curves  =";
constexpr std::string_view kAxesLabel = "Axis descriptions/fonts sizes:";
constexpr std::string_view kDomainLabel =
    "DOMAIN: x/r/r = 0, the gap width g = 1, layer width = 2, z/z/teta = 3, speed/angle = 4: ";
constexpr std::string_view kCurvesLabel = "CODOMAINS: ";

constexpr int kGeometries = 3;
constexpr int kDomains = 5;
constexpr int kFileCurves = 8;
// Longer lines are read whole, so the lines after them stay in place, but only this much is taken.
constexpr size_t kLineLimit = 999;

std::string_view boolText(bool value) { return value ? "True" : "False"; }

// The value the point-count spin box holds for the text: a text that is no integer shows 10.
int spinValue(const std::string& text) {
    try {
        return toInteger(text);
    } catch (const CalcError&) {
        return 10;
    }
}

// The lines of the file. A text that would end its line early, or lose a carriage return at
// its end, would not read back; it would also shift every line after it, so it is refused.
std::string fileText(const InputRecord& r, const fs::path& path) {
    std::string text;
    int number = 0;
    const auto put = [&](std::initializer_list<std::string_view> lines) {
        for (std::string_view line : lines) {
            ++number;
            if (line.find('\n') != std::string_view::npos || line.ends_with('\r'))
                throw CalcError("Cannot write file " + path.string() + ": the text of line " +
                                std::to_string(number) + " has a line break");
            (text += line) += '\n';
        }
    };
    for (int row = 0; row < kParameterRows; ++row)
        put({kParameterLabels[static_cast<size_t>(row)], r.value(row)});
    const auto& rel = r.reluctivityTable;
    put({kNi12Label, rel[1][1], rel[1][2], kNi21Label, rel[2][1], rel[2][2]});
    put({kNi12dLabel, r.ni12dGap, kNi21dLabel, r.ni21dGap});
    put({kInductionLabel, boolText(r.induction)});
    put({kGeometryLabel, std::to_string(static_cast<int>(r.geometry))});
    put({kHarmonicLabel, std::to_string(itemIndex(kHighestHarmonicItems, r.highestHarmonic))});
    put({kPatternLabel, std::to_string(r.windingPattern)});
    put({kPointsLabel, std::to_string(spinValue(r.pointsPerCurve))});
    put({kMinSpeedLabel, r.minSpeed, kMaxSpeedLabel, r.maxSpeed});
    put({kAxesLabel});
    for (int index : r.axisDescriptions) put({std::to_string(index)});
    put({kDomainLabel, std::to_string(r.domain), kCurvesLabel});
    for (int slot = 0; slot < kFileCurves; ++slot)
        put({boolText(r.curves[static_cast<size_t>(slot)])});
    return text;
}

// The lines of an open file in order; past its end every line is empty.
class LineSource {
public:
    LineSource(const fs::path& path, std::string text) : m_path(path), m_in(std::move(text)) {}

    std::string next() {
        ++m_number;
        std::string line;
        if (!std::getline(m_in, line)) return {};
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > kLineLimit) line.resize(kLineLimit);
        return line;
    }

    // The value line that follows a label line.
    std::string value() {
        next();
        return next();
    }

    // An item index of a list of `count` entries; -1, "no entry", only where `noneAllowed`.
    int index(int count, bool noneAllowed = false) {
        const int i = toInteger(next());
        if ((i >= 0 && i < count) || (noneAllowed && i == -1)) return i;
        throw CalcError("item index " + std::to_string(i) + " is outside 0.." +
                        std::to_string(count - 1));
    }

    // The message of a refusal of the line read last, naming the file and the line.
    [[nodiscard]] std::string where(const std::string& message) const {
        return "Line " + std::to_string(m_number) + " of file " + m_path.string() + ": " + message;
    }

private:
    fs::path m_path;
    std::istringstream m_in;
    int m_number = 0;
};

// Files written under either decimal separator read back: no number text carries digit
// grouping, so a point can only be a decimal point.
std::string normalisedNumber(std::string_view text) {
    std::string commas(text);
    std::ranges::replace(commas, '.', ',');
    double value = 0.0;
    try {
        value = toReal(commas);
    } catch (const CalcError&) {
        value = toReal(text);  // refuses as well, naming the text as the file holds it
    }
    return formatGeneral(value);
}

template <size_t N>
std::string itemText(const std::array<std::string_view, N>& items, int index) {
    return index < 0 ? std::string() : std::string(items[static_cast<size_t>(index)]);
}

void readTables(LineSource& in, InputRecord& r) {
    for (int row = 0; row < kParameterRows; ++row) r.value(row) = normalisedNumber(in.value());
    for (size_t row : {1, 2}) {
        r.reluctivityTable[row][1] = normalisedNumber(in.value());
        r.reluctivityTable[row][2] = normalisedNumber(in.next());
    }
    r.ni12dGap = normalisedNumber(in.value());
    r.ni21dGap = normalisedNumber(in.value());
}

void readSettings(LineSource& in, InputRecord& r) {
    r.induction = toBoolean(in.value());
    in.next();
    r.geometry = static_cast<Geometry>(in.index(kGeometries));
    in.next();
    const int harmonic = in.index(static_cast<int>(kHighestHarmonicItems.size()), true);
    // -1 stands for a typed order that is no entry: the file cannot carry it, so keep the text.
    if (harmonic >= 0) r.highestHarmonic = kHighestHarmonicItems[static_cast<size_t>(harmonic)];
    in.next();
    r.windingPattern = in.index(kWindingPatternCount);
    r.pointsPerCurve = std::to_string(toInteger(in.value()));
    r.minSpeed = in.value();
    r.maxSpeed = in.value();
}

void readChart(LineSource& in, InputRecord& r, ParameterFileReading& reading) {
    in.next();
    auto& axes = r.axisDescriptions;
    axes[0] = in.index(static_cast<int>(kLeftAxisItems.size()), true);
    axes[1] = in.index(static_cast<int>(kBottomAxisItems.size()), true);
    axes[2] = in.index(static_cast<int>(kFontSizeItems.size()), true);
    axes[3] = in.index(static_cast<int>(kFontSizeItems.size()), true);
    reading.axisTitles =
        AxisTitles{itemText(kLeftAxisItems, axes[0]), itemText(kBottomAxisItems, axes[1])};
    in.next();
    r.domain = in.index(kDomains);
    in.next();
    for (int slot = 0; slot < kFileCurves; ++slot)
        r.curves[static_cast<size_t>(slot)] = toBoolean(in.next());
}

}  // namespace

void writeParameterFile(const fs::path& path, const InputRecord& record) {
    replaceFile(path, fileText(record, path));
}

ParameterFileReading readParameterFile(const fs::path& path, InputRecord& record) {
    ParameterFileReading reading;
    std::optional<std::string> text;
    try {
        text = readSmallFile(path, kParameterFileMaxBytes,
                             "Parameter file " + path.string() + ": larger than 1 MiB");
    } catch (const CalcError& e) {
        reading.error = e.what();
        return reading;
    }
    if (!text) {
        reading.error = "Cannot open file " + path.string();
        return reading;
    }
    LineSource in(path, std::move(*text));
    try {
        readTables(in, record);
        readSettings(in, record);
        readChart(in, record, reading);
    } catch (const CalcError& e) {
        reading.error = in.where(e.what());
    }
    return reading;
}

}  // namespace emforce
