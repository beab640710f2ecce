#include "widgets/grid_cells.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "widgets/grid_geometry.h"

namespace vantu {
namespace {

TEST(GridCellsTest, SinkCellsKeepWhatTheyDoNotSet) {
    GridCells cells(3, 3);
    int changes = 0;
    cells.set_on_change([&] { ++changes; });
    cells.SetTooltip(1, 1, "old tip");
    cells.SetText(1, 1, "old");
    cells.SetBackground(1, 1, Rgb(1, 2, 3));

    const Cell keep{.row = 1, .column = 1, .text_colour = Rgb(9, 9, 9)};
    cells.SetCells(std::span<const Cell>(&keep, 1));
    const GridCellState& state = cells.At(1, 1);
    EXPECT_EQ(std::tuple(state.background, state.text_colour, state.text, cells.Tooltip(1, 1)),
              std::tuple(Rgb(1, 2, 3), Rgb(9, 9, 9), "old", "old tip"));
    EXPECT_EQ(changes, 4);

    const Cell outside{.row = 3, .column = 0, .background = Rgb(5, 5, 5)};
    cells.SetCells(std::span<const Cell>(&outside, 1));
    cells.SetBackground(-1, 0, Rgb(5, 5, 5));
    EXPECT_EQ(changes, 5);  // the batch still reports, the stray setter does not
}

TEST(GridCellsTest, TooltipsAreRenderedOnDemandOrSetByThePage) {
    // The texts are the decoder's test; the cell renders its kind's text.
    GridCells cells(2, 2);
    Cell cell{.tip = {TipKind::kTemperature, 3, 5, 58, 0, 7}};
    cells.SetCells(std::span<const Cell>(&cell, 1));
    EXPECT_EQ(cells.Tooltip(0, 0), "模組 : 007\r\n位置 : E3-Q5\r\n溫度 : 58 °C");
    EXPECT_EQ(cells.Tooltip(1, 1), "");
    EXPECT_EQ(cells.Tooltip(5, 5), "");

    // The page's own text replaces a decoder's tooltip, and the other way round.
    {
        std::string label = "55-59";
        cells.SetTooltip(0, 0, label);
        label.assign("xxxxx");
    }
    EXPECT_EQ(cells.Tooltip(0, 0), "55-59");
    cell.tip = {TipKind::kFlag, 0, 0, 1, 0, 0};
    cells.SetCells(std::span<const Cell>(&cell, 1));
    EXPECT_EQ(cells.Tooltip(0, 0), "1");
}

// Words, check boxes and bars as drawn and read out are the control's tests, plain text
// dropping the word colours among them; here what the cells clamp and reset.
TEST(GridCellsTest, WordsCheckBoxesAndBarsAreKeptPerCell) {
    GridCells cells(1, 3);
    const std::array<Colour, 4> colours = {Rgb(210, 0, 0), kBlack, Rgb(210, 0, 0), kBlack};
    cells.SetWords(0, 0, "32 9 5 -5", colours);
    cells.SetCheckBox(0, 1, true);
    cells.SetBar(0, 2, 150, 7);
    EXPECT_EQ(cells.At(0, 0).word_count, 4);
    EXPECT_EQ(std::tuple(cells.At(0, 2).bar_percent, cells.At(0, 2).band), std::tuple(100, 2));

    cells.Reset();
    EXPECT_FALSE(cells.At(0, 1).has_check);
    EXPECT_EQ(cells.At(0, 2).bar_percent, -1);
    EXPECT_EQ(cells.At(0, 0).background, kWhite);
}

// One cell's change names the cell, so the widget repaints only it; a batch and a
// reset repaint everything.
TEST(GridCellsTest, SingleCellChangesNameTheirCell) {
    GridCells cells(3, 3);
    std::vector<std::pair<int, int>> changed;
    int whole = 0;
    cells.set_on_change([&] { ++whole; });
    cells.set_on_cell_change([&](int row, int column) { changed.emplace_back(row, column); });
    cells.SetText(2, 1, "12.01");
    cells.SetTextColour(0, 2, Rgb(210, 0, 0));
    cells.SetText(3, 0, "outside");
    EXPECT_EQ(changed, (std::vector<std::pair<int, int>>{{2, 1}, {0, 2}}));
    EXPECT_EQ(whole, 0);
    Cell cell;
    cells.SetCells(std::span<const Cell>(&cell, 1));
    cells.Reset();
    EXPECT_EQ(whole, 2);
    EXPECT_EQ(changed.size(), 2u);

    // Only a cell whose look changed is drawn again; a new tooltip alone is no change.
    cells.ClearRedrawn();
    cell = Cell{.row = 1, .column = 2, .background = kWhite, .tip = {.kind = TipKind::kFlag}};
    cells.SetCells(std::span<const Cell>(&cell, 1));
    EXPECT_TRUE(cells.to_redraw().empty());
    cell.mark = CellMark::kFault;
    cells.SetCells(std::span<const Cell>(&cell, 1));
    EXPECT_EQ(cells.to_redraw(), (std::vector<std::uint32_t>{5}));
}

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
    EXPECT_EQ(std::pair(geometry.total_width(), geometry.total_height()), std::pair(35, 20));
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
