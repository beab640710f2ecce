// A cell sink that keeps the last cell handed for every grid position.
#pragma once

#include <map>
#include <utility>

#include "status/cell_sink.h"

namespace vantu::testing {

struct RecordingSink : CellSink {
    void SetCells(std::span<const Cell> batch) override {
        for (const Cell& cell : batch) {
            cells[{cell.row, cell.column}] = cell;
        }
        ++batches;
    }
    const Cell& At(int row, int column) const { return cells.at({row, column}); }

    std::map<std::pair<int, int>, Cell> cells;
    int batches = 0;
};

}  // namespace vantu::testing
