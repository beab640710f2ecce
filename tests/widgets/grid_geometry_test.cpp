#include "widgets/grid_geometry.h"

#include <gtest/gtest.h>

namespace vantu {
namespace {

// The whole-antenna grid's sizes: 220, 113 x 7, 28 wide; rows 11 high.
GridGeometry AntennaGeometry() {
    GridGeometry geometry(60, 115, 7, 11);
    geometry.SetColumnWidth(0, 220);
    geometry.SetColumnWidth(114, 28);
    return geometry;
}

TEST(GridGeometryTest, HitTestingFindsTheCellUnderEveryEdgePixel) {
    const GridGeometry geometry = AntennaGeometry();
    struct Case {
        int x, y;
        std::optional<CellIndex> cell;
    };
    const Case cases[] = {
        {0, 0, CellIndex{0, 0}},         {219, 10, CellIndex{0, 0}},
        {220, 11, CellIndex{1, 1}},      {226, 11, CellIndex{1, 1}},
        {227, 11, CellIndex{1, 2}},      {1010, 659, CellIndex{59, 113}},
        {1011, 659, CellIndex{59, 114}}, {1038, 0, CellIndex{0, 114}},
        {1039, 0, std::nullopt},         {0, 660, std::nullopt},
        {-1, 5, std::nullopt},           {5, -1, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(geometry.CellAt(c.x, c.y), c.cell) << c.x << "," << c.y;
    }
}

TEST(GridGeometryTest, ZeroWidthColumnsAreNeverHitAndResizingMovesLaterEdges) {
    GridGeometry geometry(2, 4, 10, 10);
    geometry.SetColumnWidth(0, 0);
    EXPECT_EQ(geometry.CellAt(0, 0), (CellIndex{0, 1}));
    geometry.SetColumnWidth(1, 25);
    EXPECT_EQ(geometry.ColumnLeft(2), 25);
    EXPECT_EQ(geometry.ColumnLeft(3), 35);
    EXPECT_EQ(geometry.total_width(), 45);
    geometry.SetColumnWidth(2, -5);  // counts as 0
    EXPECT_EQ(geometry.total_width(), 35);
    geometry.SetColumnWidth(4, 100);  // outside: ignored
    geometry.SetRowHeight(-1, 100);
    EXPECT_EQ(geometry.total_width(), 35);
    EXPECT_EQ(geometry.total_height(), 20);
}

TEST(GridGeometryTest, VisibleSpansCoverPartlyShownCells) {
    const GridGeometry geometry(10, 10, 10, 10);
    EXPECT_EQ(geometry.ColumnsIn(0, 10), std::make_pair(0, 1));
    EXPECT_EQ(geometry.ColumnsIn(5, 26), std::make_pair(0, 3));
    EXPECT_EQ(geometry.ColumnsIn(10, 20), std::make_pair(1, 2));
    EXPECT_EQ(geometry.RowsIn(95, 400), std::make_pair(9, 10));
    EXPECT_EQ(geometry.RowsIn(200, 400).first, geometry.RowsIn(200, 400).second);
}

}  // namespace
}  // namespace vantu
