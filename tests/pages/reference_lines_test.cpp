#include "pages/reference_lines.h"

#include <gtest/gtest.h>

#include "pages/antenna_grid.h"
#include "qt_test_app.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

// The outline's outer lines, as cell edges turned into the grid's pixels.
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
