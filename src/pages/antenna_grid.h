// The whole-antenna grid of the main page: one cell per element at the antenna map's
// coordinates, the temperature legend in the last column, and the reference lines.
#pragma once

#include <optional>

#include "base/shared_settings.h"
#include "status/status_colours.h"
#include "widgets/grid_cells.h"
#include "widgets/report_ctrl.h"

namespace vantu {

inline constexpr int kLegendColumn = 114;
inline constexpr int kLegendFirstRow = 43;
// The legend's colour while setup.ini has not been loaded.
inline constexpr Colour kLegendFallback = Rgb(0, 100, 0);
// Element cells before the first refresh.
inline constexpr Colour kElementStartColour = Rgb(220, 220, 220);

// Sizes, start colours and reference lines of a 60 x 115 grid.
void SetUpAntennaGrid(CReportCtrl& grid);

// Legend cell i shows colour i of the table (the fallback when setup.ini was not
// loaded) with its label as tooltip; hidden, the cells are white without tooltips.
void ShowLegend(GridCells& cells, const SharedSettings& shared);
void HideLegend(GridCells& cells);
// The colour table entry of a legend cell.
std::optional<int> LegendEntryAt(int row, int column);

}  // namespace vantu
