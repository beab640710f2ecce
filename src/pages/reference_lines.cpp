#include "pages/reference_lines.h"

#include <algorithm>

#include "status/antenna_layout.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

constexpr int kColumnWidthCells = kQChannels;
constexpr int kModuleHeightCells = kElements;
// Row of the antenna's horizontal middle: column k spans 2 n_k modules rows around it.
constexpr int kMiddleRow = 31;

int Count(int column) {
    return kColumnModuleCounts[static_cast<std::size_t>(column)];
}
int TopRow(int column) {
    return kMiddleRow - 2 * Count(column);
}
int BottomEdgeRow(int column) {
    return kMiddleRow + 2 * Count(column);
}
int GridColumnOf(int antenna_column) {
    return 1 + kColumnWidthCells * antenna_column;
}

bool HasBoundaryOn(int column, int row) {
    return row >= TopRow(column) && row <= BottomEdgeRow(column) &&
           (row - TopRow(column)) % kModuleHeightCells == 0;
}

}  // namespace

std::vector<GridSegment> ReferenceLineSegments() {
    std::vector<GridSegment> segments;
    for (int k = 0; k <= kColumns; ++k) {
        const int taller = std::max(Count(std::max(k - 1, 0)), Count(std::min(k, kColumns - 1)));
        segments.push_back(
            {true, GridColumnOf(k), kMiddleRow - 2 * taller, kMiddleRow + 2 * taller - 1});
    }
    const int max_count = *std::max_element(kColumnModuleCounts.begin(), kColumnModuleCounts.end());
    for (int row = kMiddleRow - 2 * max_count; row <= kMiddleRow + 2 * max_count;
         row += kModuleHeightCells) {
        int first = -1;
        int last = -1;
        for (int column = 0; column < kColumns; ++column) {
            if (HasBoundaryOn(column, row)) {
                first = first < 0 ? column : first;
                last = column;
            }
        }
        if (first >= 0) {
            segments.push_back({false, row, GridColumnOf(first), GridColumnOf(last + 1)});
        }
    }
    return segments;
}

std::vector<QLine> ReferenceLinePixels(const CReportCtrl& grid) {
    std::vector<QLine> lines;
    for (const GridSegment& segment : ReferenceLineSegments()) {
        if (segment.vertical) {
            const QRect top = grid.CellRect(segment.from, segment.line);
            const QRect bottom = grid.CellRect(segment.to, segment.line);
            lines.emplace_back(top.left(), top.top(), top.left(), bottom.bottom() + 1);
        } else {
            const QRect first = grid.CellRect(segment.line, segment.from);
            const QRect after = grid.CellRect(segment.line, segment.to);
            lines.emplace_back(first.left(), first.top(), after.left(), first.top());
        }
    }
    return lines;
}

}  // namespace vantu
