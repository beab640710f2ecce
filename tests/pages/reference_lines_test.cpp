#include "pages/reference_lines.h"

#include <gtest/gtest.h>

#include "pages/antenna_grid.h"
#include "qt_test_app.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

// The outline's ends and its widest lines; the rest of the table is the layout's own.
TEST(ReferenceLinesTest, OutlineEveryModuleOfTheMainAntenna) {
    const std::vector<GridSegment> segments = ReferenceLineSegments();
    ASSERT_EQ(segments.size(), 30u);
    EXPECT_EQ(segments[0], (GridSegment{true, 1, 19, 42}));
    EXPECT_EQ(segments[7], (GridSegment{true, 57, 3, 58}));
    EXPECT_EQ(segments[14], (GridSegment{true, 113, 19, 42}));
    EXPECT_EQ(segments[15], (GridSegment{false, 3, 33, 81}));
    EXPECT_EQ(segments[22], (GridSegment{false, 31, 1, 113}));
    EXPECT_EQ(segments[29], (GridSegment{false, 59, 33, 81}));
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
