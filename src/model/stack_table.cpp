// A stack of regions as the texts of two tables, its regions and its coil sides, and back.
#include "model/stack_table.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "model/number_format.hpp"
#include "model/parameter_reading.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr std::array<std::string_view, 3> kCoreKinds = {"ideal iron", "solid", "air"};
constexpr std::array<std::string_view, 2> kLayerKinds = {"isotropic", "anisotropic"};
constexpr std::array<std::string_view, 2> kExcitationKinds = {"sheet", "band"};
constexpr std::array<std::string_view, 2> kStatorKinds = {"ideal iron", "shell"};

using RegionTexts = std::array<std::string, kRegionColumns>;

// The shortest text that reads back to the same double, in the program's decimal format.
std::string numberText(double v) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    std::string text(buffer, end);
    std::replace(text.begin(), text.end(), '.', decimalSeparator());
    return text;
}

template <size_t N>
int kindIndex(const std::array<std::string_view, N>& kinds, std::string_view text) {
    for (size_t i = 0; i < N; ++i)
        if (kinds[i] == text) return static_cast<int>(i);
    return -1;
}

// Reads the cells of one table, each refusal naming its cell.
class CellReader {
public:
    CellReader(InputSource source, int row, std::string name)
        : m_source(source), m_row(row), m_name(std::move(name)) {}

    [[nodiscard]] InputLocation at(int column) const { return {m_source, m_row, column}; }

    // "Regions row 2 (aluminium), σ [S/m]": the row's name beside its number.
    [[nodiscard]] std::string caption(int column) const {
        std::string text = inputCaption(at(column));
        if (m_source == InputSource::RegionTable) text.insert(text.find(','), " (" + m_name + ")");
        return text;
    }

    [[noreturn]] void impossible(int column, const std::string& text,
                                 const std::string& rule) const {
        throw InputError("Impossible input: " + caption(column) + " " + text + " (" + rule + ")",
                         at(column));
    }

    double real(int column, const std::string& text) const {
        try {
            return toReal(text);
        } catch (const CalcError& e) {
            throw InputError(e.what() + std::string(" (") + caption(column) + ")", at(column));
        }
    }

    int integer(int column, const std::string& text) const {
        try {
            return toInteger(text);
        } catch (const CalcError& e) {
            throw InputError(e.what() + std::string(" (") + caption(column) + ")", at(column));
        }
    }

    double positive(int column, const std::string& text, const char* rule) const {
        const double v = real(column, text);
        if (!(v > 0)) impossible(column, text, rule);
        return v;
    }

    double sigma(const RegionTexts& t) const {
        const double v = real(kRegionSigma, t[kRegionSigma]);
        if (v < 0)
            impossible(kRegionSigma, t[kRegionSigma], "the conductivity must not be negative");
        return v;
    }

    double muR(const RegionTexts& t) const {
        return positive(kRegionMuR, t[kRegionMuR], "the relative permeability must be above 0");
    }

    template <size_t N>
    int kind(const std::array<std::string_view, N>& kinds, const std::string& text) const {
        const int k = kindIndex(kinds, text);
        if (k >= 0) return k;
        std::string list;
        for (size_t i = 0; i < N; ++i)
            list += (i == 0 ? "" : i + 1 == N ? " or " : ", ") + std::string(kinds[i]);
        throw InputError("'" + text + "' is not a kind of the " + m_name + ": choose " + list,
                         at(kRegionKind));
    }

private:
    InputSource m_source;
    int m_row;
    std::string m_name;
};

std::string regionName(const RegionTexts& t, int row) {
    return t[kRegionName].empty() ? "layer " + std::to_string(row) : t[kRegionName];
}

StackLayer readLayer(const RegionTexts& t, int row) {
    const CellReader in(InputSource::RegionTable, row, regionName(t, row));
    StackLayer layer;
    layer.name = t[kRegionName];
    const bool anisotropic = in.kind(kLayerKinds, t[kRegionKind]) == 1;
    layer.width = in.positive(kRegionWidth, t[kRegionWidth], "the width must be above 0");
    layer.sigma = in.sigma(t);
    if (!anisotropic) {
        layer.muR = in.muR(t);
        return layer;
    }
    Reluctivity nu;
    nu.nu1 = in.positive(kRegionNu1, t[kRegionNu1], "the diagonal terms must be above 0");
    nu.nu2 = in.positive(kRegionNu2, t[kRegionNu2], "the diagonal terms must be above 0");
    nu.nu12 = {in.real(kRegionNu12Re, t[kRegionNu12Re]), in.real(kRegionNu12Im, t[kRegionNu12Im])};
    nu.nu21 = {in.real(kRegionNu21Re, t[kRegionNu21Re]), in.real(kRegionNu21Im, t[kRegionNu21Im])};
    layer.reluctivity = nu;
    return layer;
}

CoilSide readSide(const std::array<std::string, kSideColumns>& t, int row, size_t phases) {
    const CellReader in(InputSource::CoilSideTable, row, "coil side " + std::to_string(row + 1));
    CoilSide side;
    side.midline = in.real(kSideMidline, t[kSideMidline]);
    side.width = in.positive(kSideWidth, t[kSideWidth], "the width must lie in (0, 2·pi]");
    if (side.width > kTwoPi * (1 + 1e-15))
        in.impossible(kSideWidth, t[kSideWidth], "the width must lie in (0, 2·pi]");
    side.phase = in.integer(kSidePhase, t[kSidePhase]);
    if (side.phase < 0 || static_cast<size_t>(side.phase) >= phases)
        in.impossible(kSidePhase, t[kSidePhase],
                      "a phase is 0 to " + std::to_string(static_cast<int>(phases) - 1) +
                          ", one per phase angle");
    side.sign = in.integer(kSideSign, t[kSideSign]);
    if (side.sign != 1 && side.sign != -1)
        in.impossible(kSideSign, t[kSideSign], "the sign is 1 or -1");
    side.density = in.real(kSideDensity, t[kSideDensity]);
    return side;
}

std::vector<double> readPhaseAngles(const std::string& text) {
    std::vector<double> angles;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(';', start), text.size());
        std::string item = text.substr(start, end - start);
        item.erase(0, std::min(item.find_first_not_of(' '), item.size()));
        item.erase(item.find_last_not_of(' ') + 1);
        if (!item.empty() || end < text.size()) {
            try {
                angles.push_back(toReal(item));
            } catch (const CalcError& e) {
                throw InputError(
                    e.what() + std::string(" (") + inputCaption({InputSource::PhaseAngles}) + ")",
                    {InputSource::PhaseAngles});
            }
        }
        start = end + 1;
    }
    return angles;
}

RegionTexts emptyRow(std::string_view name, std::string_view kind) {
    RegionTexts t;
    t[kRegionName] = name;
    t[kRegionKind] = kind;
    return t;
}

}  // namespace

RegionRow regionRow(const StackTexts& texts, int row) {
    const int rows = static_cast<int>(texts.regions.size());
    if (row == 0) return RegionRow::Core;
    if (row == rows - 1) return RegionRow::Stator;
    if (row == rows - 2) return RegionRow::Excitation;
    if (row == rows - 3) return RegionRow::Gap;
    return RegionRow::Layer;
}

std::vector<std::string_view> regionKinds(RegionRow row) {
    switch (row) {
        case RegionRow::Core:
            return {kCoreKinds.begin(), kCoreKinds.end()};
        case RegionRow::Layer:
            return {kLayerKinds.begin(), kLayerKinds.end()};
        case RegionRow::Gap:
            return {};
        case RegionRow::Excitation:
            return {kExcitationKinds.begin(), kExcitationKinds.end()};
        case RegionRow::Stator:
            return {kStatorKinds.begin(), kStatorKinds.end()};
    }
    return {};
}

bool regionCellUsed(RegionRow row, std::string_view kind, int column) {
    if (column == kRegionName || column == kRegionKind) return true;
    const bool material = column == kRegionSigma || column == kRegionMuR;
    switch (row) {
        case RegionRow::Core:
            return column == kRegionWidth || (kind == kCoreKinds[1] && material);
        case RegionRow::Layer:
            if (column == kRegionWidth || column == kRegionSigma) return true;
            return kind == kLayerKinds[1] ? column >= kRegionNu1 : column == kRegionMuR;
        case RegionRow::Gap:
            return column == kRegionWidth;
        case RegionRow::Excitation:
            return column == kRegionWidth && kind == kExcitationKinds[1];
        case RegionRow::Stator:
            return kind == kStatorKinds[1] && (column == kRegionWidth || material);
    }
    return false;
}

StackTexts stackTexts(const RegionStack& s) {
    StackTexts texts;
    RegionTexts core = emptyRow("core", kCoreKinds[static_cast<size_t>(s.core)]);
    core[kRegionWidth] = numberText(s.coreSurface);
    if (s.core == CoreKind::Solid) {
        core[kRegionSigma] = numberText(s.coreSigma);
        core[kRegionMuR] = numberText(s.coreMuR);
    }
    texts.regions.push_back(core);
    for (const StackLayer& l : s.layers) {
        RegionTexts t = emptyRow(l.name, kLayerKinds[l.reluctivity ? 1 : 0]);
        t[kRegionWidth] = numberText(l.width);
        t[kRegionSigma] = numberText(l.sigma);
        if (const auto& nu = l.reluctivity) {
            t[kRegionNu1] = numberText(nu->nu1);
            t[kRegionNu2] = numberText(nu->nu2);
            t[kRegionNu12Re] = numberText(nu->nu12.re());
            t[kRegionNu12Im] = numberText(nu->nu12.im());
            t[kRegionNu21Re] = numberText(nu->nu21.re());
            t[kRegionNu21Im] = numberText(nu->nu21.im());
        } else {
            t[kRegionMuR] = numberText(l.muR);
        }
        texts.regions.push_back(t);
    }
    RegionTexts gap = emptyRow("gap", "");
    gap[kRegionWidth] = numberText(s.gap);
    texts.regions.push_back(gap);
    RegionTexts excitation =
        emptyRow("excitation", kExcitationKinds[static_cast<size_t>(s.excitation)]);
    if (s.excitation == ExcitationKind::Band) excitation[kRegionWidth] = numberText(s.bandWidth);
    texts.regions.push_back(excitation);
    RegionTexts stator = emptyRow("stator", kStatorKinds[static_cast<size_t>(s.stator)]);
    if (s.stator == StatorKind::Shell) {
        stator[kRegionWidth] = numberText(s.statorThickness);
        stator[kRegionSigma] = numberText(s.statorSigma);
        stator[kRegionMuR] = numberText(s.statorMuR);
    }
    texts.regions.push_back(stator);
    for (const CoilSide& c : s.winding.sides)
        texts.sides.push_back({numberText(c.midline), numberText(c.width), std::to_string(c.phase),
                               std::to_string(c.sign), numberText(c.density)});
    for (size_t i = 0; i < s.winding.phaseAngles.size(); ++i)
        texts.phaseAngles += (i == 0 ? "" : "; ") + numberText(s.winding.phaseAngles[i]);
    texts.highestOrder = s.highestOrder;
    return texts;
}

RegionStack readStackTexts(const StackTexts& texts, Geometry geometry) {
    if (texts.regions.size() < 4)
        throw CalcError("A stack has a core, a gap, an excitation and a stator");
    const int rows = static_cast<int>(texts.regions.size());
    RegionStack s;
    const RegionTexts& core = texts.regions.front();
    const CellReader coreIn(InputSource::RegionTable, 0, "core");
    s.core = static_cast<CoreKind>(coreIn.kind(kCoreKinds, core[kRegionKind]));
    s.coreSurface = geometry == Geometry::Linear
                        ? coreIn.real(kRegionWidth, core[kRegionWidth])
                        : coreIn.positive(kRegionWidth, core[kRegionWidth],
                                          "the radius of the core surface must be above 0");
    if (s.core == CoreKind::Solid) {
        s.coreSigma = coreIn.sigma(core);
        s.coreMuR = coreIn.muR(core);
    }
    for (int row = 1; row < rows - 3; ++row)
        s.layers.push_back(readLayer(texts.regions[static_cast<size_t>(row)], row));
    const RegionTexts& gap = texts.regions[static_cast<size_t>(rows - 3)];
    s.gap = CellReader(InputSource::RegionTable, rows - 3, "gap")
                .positive(kRegionWidth, gap[kRegionWidth], "the gap width must be above 0");
    const RegionTexts& excitation = texts.regions[static_cast<size_t>(rows - 2)];
    const CellReader excitationIn(InputSource::RegionTable, rows - 2, "excitation");
    s.excitation =
        static_cast<ExcitationKind>(excitationIn.kind(kExcitationKinds, excitation[kRegionKind]));
    if (s.excitation == ExcitationKind::Band)
        s.bandWidth = excitationIn.positive(kRegionWidth, excitation[kRegionWidth],
                                            "the band width must be above 0");
    const RegionTexts& stator = texts.regions.back();
    const CellReader statorIn(InputSource::RegionTable, rows - 1, "stator");
    s.stator = static_cast<StatorKind>(statorIn.kind(kStatorKinds, stator[kRegionKind]));
    if (s.stator == StatorKind::Shell) {
        s.statorThickness =
            statorIn.positive(kRegionWidth, stator[kRegionWidth], "the thickness must be above 0");
        s.statorSigma = statorIn.sigma(stator);
        s.statorMuR = statorIn.muR(stator);
    }
    s.winding.phaseAngles = readPhaseAngles(texts.phaseAngles);
    for (size_t i = 0; i < texts.sides.size(); ++i)
        s.winding.sides.push_back(
            readSide(texts.sides[i], static_cast<int>(i), s.winding.phaseAngles.size()));
    s.highestOrder = std::clamp(texts.highestOrder, 1, kMaxWindingOrder);
    return s;
}

void insertLayer(StackTexts& texts, int row) {
    const int rows = static_cast<int>(texts.regions.size());
    RegionTexts layer = emptyRow("", kLayerKinds[0]);
    layer[kRegionWidth] = numberText(0.001);
    layer[kRegionSigma] = numberText(3.72e7);
    layer[kRegionMuR] = numberText(1);
    const int at = std::clamp(row, 1, rows - 3);
    texts.regions.insert(texts.regions.begin() + at, layer);
}

void removeLayer(StackTexts& texts, int row) {
    if (row >= 0 && row < static_cast<int>(texts.regions.size()) &&
        regionRow(texts, row) == RegionRow::Layer)
        texts.regions.erase(texts.regions.begin() + row);
}

void insertSide(StackTexts& texts, int row) {
    const int at = std::clamp(row, 0, static_cast<int>(texts.sides.size()));
    std::array<std::string, kSideColumns> side = {"0", numberText(std::numbers::pi / 3), "0", "1",
                                                  "0"};
    if (at > 0) side = texts.sides[static_cast<size_t>(at - 1)];
    texts.sides.insert(texts.sides.begin() + at, side);
}

std::vector<std::string> regionExtents(const RegionStack& s, Geometry geometry) {
    const auto span = [](const std::string& inner, double outer) {
        return inner + " … " + formatGeneral(outer);
    };
    std::vector<std::string> extents;
    const std::string open = geometry == Geometry::Linear ? "-∞" : "0";
    extents.push_back(s.core == CoreKind::IdealIron ? "… " + formatGeneral(s.coreSurface)
                                                    : span(open, s.coreSurface));
    double at = s.coreSurface;
    const auto next = [&](double width) {
        const std::string text = span(formatGeneral(at), at + width);
        at += width;
        return text;
    };
    for (const StackLayer& l : s.layers) extents.push_back(next(l.width));
    extents.push_back(next(s.gap));
    extents.push_back(s.excitation == ExcitationKind::Band ? next(s.bandWidth)
                                                           : "at " + formatGeneral(at));
    extents.push_back(s.stator == StatorKind::Shell ? next(s.statorThickness) + ", air … ∞"
                                                    : formatGeneral(at) + " …");
    return extents;
}

RegionStack startingStack(const InputRecord& record) {
    const InputRecord startup = startupRecord();
    const auto cell = [&](int row) {
        try {
            return toReal(record.value(row));
        } catch (const CalcError&) {
            return toReal(startup.value(row));
        }
    };
    constexpr int kRowR = 1, kRowG = 2, kRowA = 3, kRowGamma = 8;
    RegionStack s;
    const double R = cell(kRowR), a = cell(kRowA);
    s.coreSurface = R > a ? R - a : R / 2;
    s.layers.push_back({"layer", R > a ? a : R / 2, std::max(cell(kRowGamma), 0.0), 1.0, {}});
    s.gap = cell(kRowG) > 0 ? cell(kRowG) : 0.001;
    s.winding.phaseAngles = {0.0, kTwoPi / 3, 2 * kTwoPi / 3};
    const int phase[] = {0, 1, 2, 0, 1, 2}, sign[] = {1, -1, 1, -1, 1, -1};
    for (int i = 0; i < 6; ++i)
        s.winding.sides.push_back({i * kTwoPi / 6, kTwoPi / 6, phase[i], sign[i], 1e4});
    return s;
}

}  // namespace emforce
