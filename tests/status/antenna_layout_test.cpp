#include "status/antenna_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace vantu {
namespace {

TEST(AntennaLayoutTest, ModulesAreNumberedColumnByColumn) {
    EXPECT_EQ(ColumnFirstModule(kColumns), 160);
    EXPECT_EQ(PlaceOfModule(0).column, 0);
    EXPECT_EQ(PlaceOfModule(5).index, 5);
    EXPECT_EQ(PlaceOfModule(6).column, 1);
    EXPECT_EQ(PlaceOfModule(159).column, 13);
    EXPECT_EQ(PlaceOfModule(159).index, 5);
    ModulePlace slb = PlaceOfModule(kSlbModule);
    EXPECT_EQ(slb.column, 12);
    EXPECT_EQ(slb.index, 8);
    EXPECT_EQ(ReportSlot(slb.column, slb.index), 200);
    EXPECT_EQ(ReportSlot(0x13, 0x12), 0x32);  // both masked to four bits
}

TEST(AntennaLayoutTest, EveryElementHasItsOwnAntennaCell) {
    std::set<std::pair<int, int>> used;
    for (int m = 0; m < kModuleCount; ++m) {
        const GridCell& cell = kAntennaGrid[static_cast<std::size_t>(m)];
        ASSERT_EQ(cell.module, m);
        EXPECT_GE(cell.row, 3);
        EXPECT_LE(cell.row + kElements - 1, 58);
        EXPECT_GE(cell.column, 1);
        EXPECT_LE(cell.column + kQChannels - 1, 112);
        for (int e = 0; e < kElements; ++e) {
            for (int q = 0; q < kQChannels; ++q) {
                EXPECT_TRUE(used.insert({cell.row + e, cell.column + q}).second) << m;
            }
        }
    }
}

TEST(AntennaLayoutTest, PositionTableSplitsEachColumnAtTheMiddle) {
    for (int c = 0; c < kColumns; ++c) {
        SCOPED_TRACE(c);
        const PositionColumn& column = kPositionColumns[static_cast<std::size_t>(c)];
        const int count = kColumnModuleCounts[static_cast<std::size_t>(c)];
        EXPECT_EQ(column.upper_first_row + column.upper_count, kPositionLowerFirstRow);
        EXPECT_EQ(column.upper_first_module, ColumnFirstModule(c));
        EXPECT_EQ(column.lower_first_module, ColumnFirstModule(c) + column.upper_count);
        // The lower half of column 12 holds the SLB module as a fifth cell.
        EXPECT_EQ(column.upper_count + column.lower_count, count + (c == kSlbColumn ? 1 : 0));
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
    EXPECT_EQ(PositionCellModule(11, 1), -1);
    EXPECT_EQ(PositionCellModule(0, 5), -1);
    EXPECT_TRUE(IsOutsideOutline(1, 4));
    EXPECT_FALSE(IsOutsideOutline(1, 5));
    EXPECT_TRUE(IsOutsideOutline(13, 13));
    EXPECT_TRUE(IsOutsideOutline(11, 14));
    EXPECT_FALSE(IsOutsideOutline(7, 14));
}

TEST(AntennaLayoutTest, HalvesListTheirModulesWithTheSlbModuleLast) {
    auto lower12 = ModulesOfHalf(HalfOfColumn(12, true));
    EXPECT_EQ(lower12, (std::array<int, 7>{150, 151, 152, 153, 160, -1, -1}));
    EXPECT_EQ(ModulesOfHalf(HalfOfColumn(13, false)),
              (std::array<int, 7>{154, 155, 156, -1, -1, -1, -1}));
    EXPECT_EQ(ModulesOfHalf(HalfOfColumn(4, true))[6], 51);
    ColumnHalf of160 = HalfOfModule(160);
    EXPECT_EQ(of160.column, 12);
    EXPECT_TRUE(of160.lower);
    ColumnHalf of149 = HalfOfModule(149);
    EXPECT_EQ(of149.column, 12);
    EXPECT_FALSE(of149.lower);
    EXPECT_TRUE(HalfOfModule(3).lower);
    EXPECT_FALSE(HalfOfModule(2).lower);
}

}  // namespace
}  // namespace vantu
