#include "widgets/report_ctrl.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "qt_test_app.h"
#include "widgets/qt_colour.h"

namespace vantu {
namespace {

QImage Shot(CReportCtrl& grid) {
    return grid.viewport()->grab().toImage();
}

// Pixels in the rectangle whose colour is near the wanted one (text is antialiased).
int CountNear(const QImage& image, const QRect& area, QColor wanted) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - wanted.red()) < 40 &&
                     std::abs(c.green() - wanted.green()) < 40 &&
                     std::abs(c.blue() - wanted.blue()) < 40;
        }
    }
    return count;
}

// Every column as wide and every row as high as given, the grid sized to its cells.
void SizeCells(CReportCtrl& grid, int width, int height) {
    for (int column = 0; column < grid.columns(); ++column) {
        grid.SetColumnWidth(column, width);
    }
    grid.SetAllRowHeights(height);
    grid.resize(grid.ContentSize());
}

class ReportCtrlTest : public ::testing::Test {
  protected:
    ReportCtrlTest() { testing::QtTestApp(); }
};

TEST_F(ReportCtrlTest, HeaderAndScrollingShiftTheHitTest) {
    CReportCtrl grid(40, 40);
    grid.SetHeaders({"A", "B"}, 24);
    grid.resize(200, 150);
    grid.show();
    EXPECT_FALSE(grid.CellAt(QPoint(10, 23)).has_value());
    EXPECT_EQ(grid.CellAt(QPoint(10, 24)), (CellIndex{0, 0}));

    grid.horizontalScrollBar()->setValue(65);
    grid.verticalScrollBar()->setValue(37);
    // Content x = 10 + 65 = 75 (column 1 of 60 wide); y = 24 - 24 + 37 = 37 (row 2 of 18).
    EXPECT_EQ(grid.CellAt(QPoint(10, 24)), (CellIndex{2, 1}));
    QSignalSpy clicks(&grid, &CReportCtrl::cellClicked);
    QSignalSpy right_clicks(&grid, &CReportCtrl::cellRightClicked);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(10, 24));
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, QPoint(10, 24));
    // A right click is no click.
    ASSERT_EQ(std::pair(clicks.size(), right_clicks.size()), std::pair(qsizetype{1}, qsizetype{1}));
    EXPECT_EQ(clicks[0], (QList<QVariant>{2, 1}));
    EXPECT_EQ(right_clicks[0].mid(0, 2), (QList<QVariant>{2, 1}));
    EXPECT_EQ(grid.CellRect(2, 1), QRect(60, 36, 60, 18));  // unaffected by scrolling
}

TEST_F(ReportCtrlTest, WordsAreDrawnEachInItsOwnColour) {
    CReportCtrl grid(1, 1);
    QFont font = grid.font();
    font.setPixelSize(36);
    grid.setFont(font);
    SizeCells(grid, 240, 60);
    const Colour red = Rgb(210, 0, 0);
    const Colour blue = Rgb(0, 0, 210);
    grid.cells().SetWords(0, 0, "Tx Rx", std::array<Colour, 2>{red, blue});
    const QImage image = Shot(grid);
    const QRect left(0, 0, 120, 60);
    const QRect right(120, 0, 120, 60);
    EXPECT_GT(CountNear(image, left, ToQColor(red)), 20);
    EXPECT_EQ(CountNear(image, left, ToQColor(blue)), 0);
    EXPECT_GT(CountNear(image, right, ToQColor(blue)), 20);
    EXPECT_EQ(CountNear(image, right, ToQColor(red)), 0);

    grid.cells().SetText(0, 0, "Tx Rx");  // plain: both words in the text colour
    grid.cells().SetTextColour(0, 0, blue);
    const QImage plain = Shot(grid);
    EXPECT_GT(CountNear(plain, left, ToQColor(blue)), 20);
    EXPECT_EQ(CountNear(plain, left, ToQColor(red)), 0);
}

TEST_F(ReportCtrlTest, BarsGridLinesAndOverlayLinesAreDrawnOnlyWhenSwitchedOn) {
    CReportCtrl grid(2, 2);
    SizeCells(grid, 100, 30);
    GridCells& cells = grid.cells();
    cells.SetBackground(0, 0, Rgb(255, 255, 255));
    cells.SetBar(0, 0, 50, 1);
    grid.SetBandColours({Rgb(0, 200, 0), Rgb(200, 0, 0), Rgb(200, 200, 0)});

    const auto pixel = [&grid](int x, int y) { return Shot(grid).pixelColor(x, y); };
    EXPECT_EQ(pixel(20, 15), QColor(255, 255, 255));  // bar display off
    grid.SetBarDisplay(true);
    EXPECT_EQ(pixel(20, 15), QColor(200, 0, 0));
    EXPECT_EQ(pixel(80, 15), QColor(255, 255, 255));

    // The edge between the two columns.
    EXPECT_EQ(pixel(100, 45), QColor(192, 192, 192));
    grid.SetGridLines(false);
    EXPECT_EQ(pixel(100, 45), QColor(255, 255, 255));

    grid.SetOverlayLines({QLine(0, 40, 199, 40)});
    grid.SetOverlayColour(Rgb(0, 0, 255));
    EXPECT_EQ(pixel(150, 40), QColor(0, 0, 255));
    grid.SetOverlayVisible(false);
    EXPECT_EQ(pixel(150, 40), QColor(255, 255, 255));
}

// The worst case for reading without colour: every state on one background with one
// text, seen in greyscale. Large cells carry glyphs, cells of a few pixels patterns.
TEST_F(ReportCtrlTest, EveryMarkReadsInGreyscaleAndStaleCellsAreHatched) {
    constexpr int kMarks = 6;
    for (const QSize cell : {QSize(60, 18), QSize(8, 8)}) {
        const bool small = cell.height() < 12;
        CReportCtrl grid(1, kMarks);
        for (int m = 0; m < kMarks; ++m) {
            grid.cells().SetBackground(0, m, Rgb(145, 200, 255));
            grid.cells().SetText(0, m, small ? "" : "0");
            grid.cells().SetMark(0, m, static_cast<CellMark>(m));
        }
        grid.SetGridLines(false);
        SizeCells(grid, cell.width(), cell.height());
        const auto looks = [&grid](int m) {
            return Shot(grid).convertToFormat(QImage::Format_Grayscale8).copy(grid.CellRect(0, m));
        };
        for (int a = 0; a < kMarks; ++a) {
            for (int b = a + 1; b < kMarks; ++b) {
                // A normal cell of a few pixels stays plain: only the exceptions stand out.
                const bool alike = small && a == 0 && b == 1;
                EXPECT_EQ(looks(a) == looks(b), alike) << cell.width() << ": " << a << " " << b;
            }
        }

        const QImage fault = looks(2);
        grid.SetMarksShown(false);
        EXPECT_EQ(looks(2), looks(0)) << "without glyphs a fault is colour alone";
        EXPECT_NE(looks(4), looks(0)) << "a latched fault has no colour to show it";
        grid.SetMarksShown(true);
        grid.SetStale(true);
        EXPECT_NE(looks(2), fault);
        grid.SetStale(false);
        EXPECT_EQ(looks(2), fault);
    }
}

// The grid redraws only the cells that changed since its last paint; the picture must be
// the one of a grid that draws the same cells afresh.
TEST_F(ReportCtrlTest, ChangedCellsLookAsIfDrawnAfresh) {
    const auto change = [](CReportCtrl& grid, Colour colour, CellMark mark) {
        const Cell cells[] = {{.row = 0, .column = 1, .background = colour, .mark = mark},
                              {.row = 2, .column = 3, .background = colour, .mark = mark}};
        grid.cells().SetCells(cells);
    };
    CReportCtrl redrawn(3, 4);
    SizeCells(redrawn, 7, 11);
    change(redrawn, Rgb(200, 0, 0), CellMark::kFault);
    Shot(redrawn);
    change(redrawn, Rgb(0, 90, 0), CellMark::kNearLimit);
    CReportCtrl fresh(3, 4);
    SizeCells(fresh, 7, 11);
    change(fresh, Rgb(0, 90, 0), CellMark::kNearLimit);
    EXPECT_EQ(Shot(redrawn), Shot(fresh));
}

TEST_F(ReportCtrlTest, CheckBoxCellsShowTheirMark) {
    CReportCtrl grid(1, 2);
    grid.SetGridLines(false);
    SizeCells(grid, 20, 20);
    grid.cells().SetCheckBox(0, 0, true);
    grid.cells().SetCheckBox(0, 1, true);
    grid.cells().SetChecked(0, 1, true);
    const QImage image = Shot(grid);
    EXPECT_EQ(CountNear(image, QRect(6, 6, 8, 8), Qt::black), 0);
    EXPECT_GT(CountNear(image, QRect(26, 6, 8, 8), Qt::black), 5);
}

}  // namespace
}  // namespace vantu
