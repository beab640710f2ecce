#include "pages/reference_lines.h"

#include <gtest/gtest.h>

#include "pages/antenna_grid.h"
#include "qt_test_app.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

TEST(ReferenceLinesTest, OutlineEveryModuleOfTheMainAntenna) {
    std::vector<GridSegment> expected;
    // Vertical: column, first row, last row.
    const int vertical[15][3] = {{1, 19, 42}, {9, 15, 46},   {17, 7, 54},  {25, 7, 54},
                                 {33, 3, 58}, {41, 3, 58},   {49, 3, 58},  {57, 3, 58},
                                 {65, 3, 58}, {73, 3, 58},   {81, 3, 58},  {89, 7, 54},
                                 {97, 7, 54}, {105, 15, 46}, {113, 19, 42}};
    for (const auto& v : vertical) {
        expected.push_back({true, v[0], v[1], v[2]});
    }
    // Horizontal: row, first column, column after the last.
    const int horizontal[15][3] = {{3, 33, 81},  {7, 17, 97},  {11, 17, 97}, {15, 9, 105},
                                   {19, 1, 113}, {23, 1, 113}, {27, 1, 113}, {31, 1, 113},
                                   {35, 1, 113}, {39, 1, 113}, {43, 1, 113}, {47, 9, 105},
                                   {51, 17, 97}, {55, 17, 97}, {59, 33, 81}};
    for (const auto& h : horizontal) {
        expected.push_back({false, h[0], h[1], h[2]});
    }
    EXPECT_EQ(ReferenceLineSegments(), expected);
}

TEST(ReferenceLinesTest, PixelsAreMeasuredOnTheGridCells) {
    testing::QtTestApp();
    CReportCtrl grid(60, 115);
    SetUpAntennaGrid(grid);
    const std::vector<QLine> lines = ReferenceLinePixels(grid);
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[0], QLine(220, 19 * 11, 220, 43 * 11));
    EXPECT_EQ(lines[14], QLine(220 + 112 * 7, 19 * 11, 220 + 112 * 7, 43 * 11));
    EXPECT_EQ(lines[15], QLine(220 + 32 * 7, 33, 220 + 80 * 7, 33));
    EXPECT_EQ(lines[29], QLine(220 + 32 * 7, 59 * 11, 220 + 80 * 7, 59 * 11));
    EXPECT_EQ(grid.overlay_lines(), lines);
}

}  // namespace
}  // namespace vantu
