#include "status/antenna_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <utility>

namespace vantu {
namespace {

TEST(AntennaLayoutTest, ModulesAreNumberedColumnByColumn) {
    EXPECT_EQ(PlaceOfModule(6).column, 1);
    EXPECT_EQ(PlaceOfModule(159).index, 5);
    ModulePlace slb = PlaceOfModule(kSlbModule);
    EXPECT_EQ(slb.column, 12);
    EXPECT_EQ(slb.index, 8);
    EXPECT_EQ(ReportSlot(0x13, 0x12), 0x32);  // both masked to four bits
}

TEST(AntennaLayoutTest, EveryElementHasItsOwnAntennaCell) {
    std::set<std::pair<int, int>> used;
    for (int m = 0; m < kModuleCount; ++m) {
        const GridCell& cell = kAntennaGrid[static_cast<std::size_t>(m)];
        ASSERT_EQ(cell.module, m);
        for (int e = 0; e < kElements; ++e) {
            for (int q = 0; q < kQChannels; ++q) {
                EXPECT_TRUE(used.insert({cell.row + e, cell.column + q}).second) << m;
            }
        }
    }
}

TEST(AntennaLayoutTest, PositionLookupAndCellTextsAgree) {
    for (int m = 0; m < kModuleCount; ++m) {
        const GridCell& cell = kPositionCells[static_cast<std::size_t>(m)];
        ASSERT_EQ(cell.module, m);
        EXPECT_EQ(PositionCellModule(cell.row, cell.column), m) << m;
        EXPECT_EQ(IsOutsideOutline(cell.row, cell.column), m == kSlbModule) << m;
    }
    // Cells beside the outline belong to no module.
    EXPECT_EQ(PositionCellModule(4, 1), -1);
    EXPECT_TRUE(IsOutsideOutline(1, 4));
    EXPECT_FALSE(IsOutsideOutline(1, 5));
}

// Which half a module belongs to; the modules each half lists are the status page's test.
TEST(AntennaLayoutTest, HalfOfModuleSplitsEachColumnAtItsMiddle) {
    for (const auto& [module, column, lower] :
         {std::tuple{160, 12, true}, {149, 12, false}, {3, 0, true}, {2, 0, false}}) {
        EXPECT_EQ(HalfOfModule(module).column, column) << module;
        EXPECT_EQ(HalfOfModule(module).lower, lower) << module;
    }
}

}  // namespace
}  // namespace vantu
