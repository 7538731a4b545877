// A stack of regions as the texts of two tables, its regions and its coil sides, and back.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/input_record.hpp"
#include "model/region_stack.hpp"

namespace emforce {

/// The columns of the regions table.
enum RegionColumn : int {
    kRegionName,
    kRegionKind,
    kRegionWidth,  ///< the core's surface, a layer's, the gap's or the band's width, the shell's
                   ///< thickness
    kRegionSigma,
    kRegionMuR,
    kRegionNu1,
    kRegionNu2,
    kRegionNu12Re,
    kRegionNu12Im,
    kRegionNu21Re,
    kRegionNu21Im,
    kRegionColumns
};
inline constexpr std::array<std::string_view, kRegionColumns> kRegionColumnTitles = {
    "region", "kind",      "width / surface [m]", "σ [S/m]",   "μr",       "ν1/ν0",
    "ν2/ν0",  "ν12/ν0 re", "ν12/ν0 im",           "ν21/ν0 re", "ν21/ν0 im"};

/// The columns of the coil-side table.
enum SideColumn : int {
    kSideMidline,
    kSideWidth,
    kSidePhase,
    kSideSign,
    kSideDensity,
    kSideColumns
};
inline constexpr std::array<std::string_view, kSideColumns> kSideColumnTitles = {
    "midline [rad]", "width [rad]", "phase", "sign", "density [A/m² band, A/m sheet]"};

/// What a row of the regions table stands for: the core first, then the layers, the gap, the
/// excitation and the stator.
enum class RegionRow { Core, Layer, Gap, Excitation, Stator };

/// The texts of a stack as the window shows them. Numbers are in the shortest text that reads
/// back to the same value, with the decimal separator of the program.
struct StackTexts {
    std::vector<std::array<std::string, kRegionColumns>> regions;
    std::vector<std::array<std::string, kSideColumns>> sides;
    std::string phaseAngles;  ///< the phases' time angles [rad], separated by ";"
    int highestOrder = 17;

    bool operator==(const StackTexts&) const = default;
};

/// What row `row` of the regions stands for.
RegionRow regionRow(const StackTexts& texts, int row);
/// The kinds a row offers in its kind column (none for the gap).
std::vector<std::string_view> regionKinds(RegionRow row);
/// Whether a cell of a row with that kind holds a value; the others stay empty.
bool regionCellUsed(RegionRow row, std::string_view kind, int column);

/// The texts of a stack.
StackTexts stackTexts(const RegionStack& stack);
/// The stack the texts give. Throws InputError naming the cell (InputSource::RegionTable or
/// CoilSideTable with its row and column, or PhaseAngles) of the first text that does not
/// convert or that no machine can have: a kind not offered, a width not above 0, a negative
/// σ, a μr or a diagonal reluctivity not above 0, a side width outside (0, 2π], a sign other
/// than ±1, a phase without an angle, and in the rotating geometries a core surface not
/// above 0.
RegionStack readStackTexts(const StackTexts& texts, Geometry geometry = Geometry::Cylindrical);

/// Inserts a layer (the texts of an empty aluminium layer) before region row `row`, kept
/// between the core and the gap.
void insertLayer(StackTexts& texts, int row);
/// Removes region row `row` when it is a layer; other rows stay.
void removeLayer(StackTexts& texts, int row);
/// Inserts a coil side before row `row` (kept within the list), a copy of the one before.
void insertSide(StackTexts& texts, int row);

/// Where each row of the regions lies, from its inner to its outer radius (position), as a
/// text per row: "0 … 0,02", "0,032 … 0,052", "0,057 … ∞" for the air beyond a shell.
std::vector<std::string> regionExtents(const RegionStack& stack, Geometry geometry);

/// A stack to start from when the window's table model gives way to a stack: the table's
/// layer (width a, σ = gamma) on ideal iron at R − a, its gap, a current sheet on ideal
/// iron and a three-phase winding of six 60° sides with 1e4 A/m. A cell that does not read
/// leaves the value of the start-up table.
RegionStack startingStack(const InputRecord& record);

}  // namespace emforce
