#include "pages/antenna_grid.h"

#include "pages/main_page_layout.h"
#include "pages/reference_lines.h"
#include "status/antenna_layout.h"

namespace vantu {

namespace layout = main_page_layout;

void SetUpAntennaGrid(CReportCtrl& grid) {
    grid.SetColumnWidth(0, layout::kAntennaFirstColumnWidth);
    for (int column = 1; column < kLegendColumn; ++column) {
        grid.SetColumnWidth(column, layout::kAntennaElementColumnWidth);
    }
    grid.SetColumnWidth(kLegendColumn, layout::kAntennaLegendColumnWidth);
    grid.SetAllRowHeights(layout::kAntennaRowHeight);
    for (const GridCell& module : kAntennaGrid) {
        for (int e = 0; e < kElements; ++e) {
            for (int q = 0; q < kQChannels; ++q) {
                grid.cells().SetBackground(module.row + e, module.column + q, kElementStartColour);
            }
        }
    }
    grid.SetOverlayLines(ReferenceLinePixels(grid));
}

void ShowLegend(GridCells& cells, const SharedSettings& shared) {
    for (int i = 0; i < kTempColourCount; ++i) {
        const TempColourRecord& record = shared.temp_colours[static_cast<std::size_t>(i)];
        cells.SetBackground(kLegendFirstRow + i, kLegendColumn,
                            shared.settings_loaded ? record.colour : kLegendFallback);
        cells.SetTooltip(kLegendFirstRow + i, kLegendColumn, record.label);
    }
}

void HideLegend(GridCells& cells) {
    for (int i = 0; i < kTempColourCount; ++i) {
        cells.SetBackground(kLegendFirstRow + i, kLegendColumn, kWhite);
        cells.SetTooltip(kLegendFirstRow + i, kLegendColumn, {});
    }
}

std::optional<int> LegendEntryAt(int row, int column) {
    if (column != kLegendColumn || row < kLegendFirstRow ||
        row >= kLegendFirstRow + kTempColourCount) {
        return std::nullopt;
    }
    return row - kLegendFirstRow;
}

}  // namespace vantu
