// The stack of regions as the texts of the window's tables: both ways, and what is refused.
#include <gtest/gtest.h>

#include <numbers>

#include "model/parameter_reading.hpp"
#include "model/stack_table.hpp"

namespace emforce {
namespace {

constexpr double kPi = std::numbers::pi;

// A stack that uses every kind of cell: a solid core, an isotropic and an anisotropic layer,
// a band, a shell, sides of two phases with angles that have no short decimal text.
RegionStack everyCell() {
    RegionStack s;
    s.core = CoreKind::Solid;
    s.coreSurface = 0.02;
    s.coreSigma = 1.6e6;
    s.coreMuR = 30;
    s.layers.push_back({"aluminium", 0.01, 3.72e7, 1.0, {}});
    s.layers.push_back({"", 0.003, 5e6, 1.0, Reluctivity{0.05, 0.1, {0.01, -0.02}, {0.0, 0.3}}});
    s.gap = 0.002;
    s.excitation = ExcitationKind::Band;
    s.bandWidth = 0.02;
    s.stator = StatorKind::Shell;
    s.statorThickness = 0.005;
    s.statorMuR = 30;
    s.statorSigma = 0;
    s.winding.phaseAngles = {0.0, 2 * kPi / 3};
    s.winding.sides = {{0.0, kPi / 4, 0, 1, 4384062.043356595},
                       {kPi / 3, kPi / 4, 1, -1, 4384062.043356595}};
    s.highestOrder = 51;
    return s;
}

TEST(StackTable, TextsReadBackToTheSameStackBitForBit) {
    const RegionStack s = everyCell();
    const StackTexts texts = stackTexts(s);
    ASSERT_EQ(texts.regions.size(), 6u);
    EXPECT_EQ(texts.regions[1][kRegionSigma], "37200000");
    EXPECT_EQ(texts.regions[2][kRegionKind], "anisotropic");
    EXPECT_EQ(texts.regions[2][kRegionMuR], "");  // the matrix takes the place of μr
    EXPECT_EQ(texts.regions[0][kRegionWidth], "0,02");
    EXPECT_EQ(readStackTexts(texts), s);
    // A sheet on ideal iron over an air core: the cells it does not use are empty.
    RegionStack sheet = s;
    sheet.core = CoreKind::Air;
    sheet.excitation = ExcitationKind::Sheet;
    sheet.bandWidth = 0;
    sheet.stator = StatorKind::IdealIron;
    sheet.statorThickness = sheet.statorMuR = 0;
    sheet.coreSigma = 0;
    sheet.coreMuR = 1;
    sheet.statorMuR = 1;
    const StackTexts sheetTexts = stackTexts(sheet);
    EXPECT_EQ(sheetTexts.regions.back()[kRegionWidth], "");
    EXPECT_EQ(readStackTexts(sheetTexts), sheet);
}

TEST(StackTable, RefusalsNameTheCell) {
    struct Case {
        RegionRow kind;
        int row, column;
        const char* text;
        InputSource source;
        const char* message;
    };
    const Case cases[] = {
        {RegionRow::Layer, 1, kRegionSigma, "-1", InputSource::RegionTable,
         "Impossible input: Regions row 2 (aluminium), σ [S/m] -1 (the conductivity must not be "
         "negative)"},
        {RegionRow::Layer, 1, kRegionWidth, "x", InputSource::RegionTable,
         "'x' is not a valid floating point value (Regions row 2 (aluminium), width / surface "
         "[m])"},
        {RegionRow::Layer, 2, kRegionNu1, "0", InputSource::RegionTable,
         "Impossible input: Regions row 3 (layer 2), ν1/ν0 0 (the diagonal terms must be above 0)"},
        {RegionRow::Gap, 3, kRegionWidth, "0", InputSource::RegionTable,
         "Impossible input: Regions row 4 (gap), width / surface [m] 0 (the gap width must be "
         "above 0)"},
        {RegionRow::Core, 0, kRegionKind, "steel", InputSource::RegionTable,
         "'steel' is not a kind of the core: choose ideal iron, solid or air"},
        {RegionRow::Stator, 5, kRegionMuR, "0", InputSource::RegionTable,
         "Impossible input: Regions row 6 (stator), μr 0 (the relative permeability must be above "
         "0)"},
        {RegionRow::Layer, 0, kSidePhase, "2", InputSource::CoilSideTable,
         "Impossible input: coil side 1, phase 2 (a phase is 0 to 1, one per phase angle)"},
        {RegionRow::Layer, 1, kSideSign, "0", InputSource::CoilSideTable,
         "Impossible input: coil side 2, sign 0 (the sign is 1 or -1)"},
        {RegionRow::Layer, 1, kSideWidth, "6,3", InputSource::CoilSideTable,
         "Impossible input: coil side 2, width [rad] 6,3 (the width must lie in (0, 2·pi])"},
        {RegionRow::Layer, 0, -1, "0; 1,x", InputSource::PhaseAngles,
         "'1,x' is not a valid floating point value (phase angles [rad])"},
    };
    for (const Case& c : cases) {
        StackTexts texts = stackTexts(everyCell());
        if (c.source == InputSource::RegionTable) {
            EXPECT_EQ(regionRow(texts, c.row), c.kind) << c.message;
            texts.regions[static_cast<size_t>(c.row)][static_cast<size_t>(c.column)] = c.text;
        } else if (c.source == InputSource::CoilSideTable) {
            texts.sides[static_cast<size_t>(c.row)][static_cast<size_t>(c.column)] = c.text;
        } else {
            texts.phaseAngles = c.text;
        }
        try {
            (void)readStackTexts(texts);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(e.where().source, c.source) << c.message;
            if (c.source != InputSource::PhaseAngles) {
                EXPECT_EQ(e.where().row, c.row) << c.message;
                EXPECT_EQ(e.where().column, c.column) << c.message;
            }
        }
    }
}

TEST(StackTable, LayersAndSidesAreAddedAndRemovedBetweenTheirNeighbours) {
    StackTexts texts = stackTexts(everyCell());
    insertLayer(texts, 99);  // at most before the gap
    ASSERT_EQ(texts.regions.size(), 7u);
    EXPECT_EQ(regionRow(texts, 3), RegionRow::Layer);
    EXPECT_EQ(texts.regions[4][kRegionName], "gap");
    insertLayer(texts, 0);  // at least after the core
    EXPECT_EQ(texts.regions[0][kRegionName], "core");
    EXPECT_EQ(readStackTexts(texts).layers.size(), 4u);
    removeLayer(texts, 0);  // the core, the gap and the rest stay
    removeLayer(texts, 5);
    EXPECT_EQ(texts.regions.size(), 8u);
    for (int i = 0; i < 4; ++i) removeLayer(texts, 1);
    EXPECT_EQ(texts.regions.size(), 4u);
    EXPECT_TRUE(readStackTexts(texts).layers.empty());

    insertSide(texts, 5);
    ASSERT_EQ(texts.sides.size(), 3u);
    EXPECT_EQ(texts.sides[2], texts.sides[1]);
    EXPECT_EQ(readStackTexts(texts).winding.sides.size(), 3u);
}

TEST(StackTable, UsedCellsFollowTheKind) {
    EXPECT_TRUE(regionCellUsed(RegionRow::Core, "solid", kRegionSigma));
    EXPECT_FALSE(regionCellUsed(RegionRow::Core, "air", kRegionSigma));
    EXPECT_TRUE(regionCellUsed(RegionRow::Layer, "anisotropic", kRegionNu21Im));
    EXPECT_FALSE(regionCellUsed(RegionRow::Layer, "anisotropic", kRegionMuR));
    EXPECT_FALSE(regionCellUsed(RegionRow::Layer, "isotropic", kRegionNu1));
    EXPECT_FALSE(regionCellUsed(RegionRow::Excitation, "sheet", kRegionWidth));
    EXPECT_TRUE(regionCellUsed(RegionRow::Excitation, "band", kRegionWidth));
    EXPECT_FALSE(regionCellUsed(RegionRow::Stator, "ideal iron", kRegionWidth));
}

TEST(StackTable, ExtentsFromTheAxisOutwards) {
    RegionStack s = everyCell();
    s.layers.pop_back();
    const std::vector<std::string> expected = {"0 … 0,02", "0,02 … 0,03", "0,03 … 0,032",
                                               "0,032 … 0,052", "0,052 … 0,057, air … ∞"};
    EXPECT_EQ(regionExtents(s, Geometry::Cylindrical), expected);
    s.core = CoreKind::IdealIron;
    s.excitation = ExcitationKind::Sheet;
    s.stator = StatorKind::IdealIron;
    EXPECT_EQ(
        regionExtents(s, Geometry::Linear),
        (std::vector<std::string>{"… 0,02", "0,02 … 0,03", "0,03 … 0,032", "at 0,032", "0,032 …"}));
}

TEST(StackTable, StartingStackTakesTheTablesLayer) {
    InputRecord record = startupRecord();
    record.value(1) = "0,05";
    record.value(2) = "0,001";
    record.value(3) = "0,005";
    record.value(8) = "5,0e6";
    const RegionStack s = startingStack(record);
    EXPECT_DOUBLE_EQ(s.coreSurface, 0.045);
    ASSERT_EQ(s.layers.size(), 1u);
    EXPECT_EQ(s.layers[0].width, 0.005);
    EXPECT_EQ(s.layers[0].sigma, 5e6);
    EXPECT_EQ(s.gap, 0.001);
    EXPECT_EQ(readStackTexts(stackTexts(s)), s);
    EXPECT_NO_THROW(windingSpectrum(s.winding, s.highestOrder));
}

}  // namespace
}  // namespace emforce
