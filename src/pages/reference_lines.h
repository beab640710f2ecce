// The reference lines of the whole-antenna grid: the outline of every module of the
// main antenna, as cell edges and then as pixels measured on the grid.
#pragma once

#include <QLine>

#include <vector>

namespace vantu {

class CReportCtrl;

// A vertical segment on the left edge of grid column `line`, from the top of row
// `from` to the bottom of row `to`; a horizontal one on the top edge of grid row
// `line`, from the left edge of column `from` to the left edge of column `to`.
struct GridSegment {
    bool vertical = false;
    int line = 0;
    int from = 0;
    int to = 0;
    bool operator==(const GridSegment&) const = default;
};

// Vertical lines on columns 1 + 8k (k = 0..14), each as tall as the taller of the two
// antenna columns it separates; horizontal lines on rows 3 + 4j (j = 0..14) across
// the antenna columns that have a module boundary on that row.
std::vector<GridSegment> ReferenceLineSegments();

// The segments in the grid's content pixels.
std::vector<QLine> ReferenceLinePixels(const CReportCtrl& grid);

}  // namespace vantu
