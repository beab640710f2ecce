// How the antenna is divided into modules and where each module lies: its column and
// index, its report slot, its cells on the whole-antenna grid and on the position
// table grid, and the column halves the module views show.
#pragma once

#include <array>
#include <cstdint>

#include "base/shared_settings.h"

namespace vantu {

inline constexpr int kColumns = 14;
inline constexpr int kQChannels = 8;
inline constexpr int kElements = 4;
inline constexpr int kSlbModule = 160;
inline constexpr std::array<int, kColumns> kColumnModuleCounts = {6,  8,  12, 12, 14, 14, 14,
                                                                  14, 14, 14, 12, 12, 8,  6};

// The SLB module is stored as if it were index 8 of column 12.
inline constexpr int kSlbColumn = 12;
inline constexpr int kSlbIndex = 8;

struct ModulePlace {
    int column = 0;
    int index = 0;
};

constexpr int ColumnFirstModule(int column) {
    int first = 0;
    for (int c = 0; c < column; ++c) {
        first += kColumnModuleCounts[static_cast<std::size_t>(c)];
    }
    return first;
}

// Column and index of module 0..160 (callers check the range).
constexpr ModulePlace PlaceOfModule(int module) {
    if (module == kSlbModule) {
        return {kSlbColumn, kSlbIndex};
    }
    int column = 0;
    while (column + 1 < kColumns && module >= ColumnFirstModule(column + 1)) {
        ++column;
    }
    return {column, module - ColumnFirstModule(column)};
}

// Report slot of a module: column and index are masked to 4 bits each.
constexpr int ReportSlot(int column, int index) {
    return (column & 0xF) * 16 + (index & 0xF);
}

struct GridCell {
    int row = 0;
    int column = 0;
};

// Top-left cell of each module on the whole-antenna grid: element (E, Q) lies at row
// + E, column + Q.
inline constexpr std::array<GridCell, kModuleCount> kAntennaGrid = [] {
    std::array<GridCell, kModuleCount> cells{};
    for (int m = 0; m < kSlbModule; ++m) {
        ModulePlace place = PlaceOfModule(m);
        int count = kColumnModuleCounts[static_cast<std::size_t>(place.column)];
        cells[static_cast<std::size_t>(m)] = {31 - 2 * count + 4 * place.index,
                                              1 + 8 * place.column};
    }
    cells[kSlbModule] = {47, 105};
    return cells;
}();

// The position table grid "全面天線位置表": 15 x 15 cells, row 0 and column 0 are
// headers, grid column c shows antenna column c - 1 split between rows 7 and 8.
inline constexpr int kPositionGridSize = 15;
inline constexpr int kPositionLowerFirstRow = 8;

struct PositionColumn {
    int upper_first_row;
    int upper_count;
    int upper_first_module;
    int lower_count;
    int lower_first_module;
};

// Indexed by antenna column (grid column - 1).
inline constexpr std::array<PositionColumn, kColumns> kPositionColumns = {{
    {5, 3, 0, 3, 3},
    {4, 4, 6, 4, 10},
    {2, 6, 14, 6, 20},
    {2, 6, 26, 6, 32},
    {1, 7, 38, 7, 45},
    {1, 7, 52, 7, 59},
    {1, 7, 66, 7, 73},
    {1, 7, 80, 7, 87},
    {1, 7, 94, 7, 101},
    {1, 7, 108, 7, 115},
    {2, 6, 122, 6, 128},
    {2, 6, 134, 6, 140},
    {4, 4, 146, 5, 150},
    {5, 3, 154, 3, 157},
}};

// Cell of each module on the position table grid; module 160 sits at (12, 13).
inline constexpr std::array<GridCell, kModuleCount> kPositionCells = [] {
    std::array<GridCell, kModuleCount> cells{};
    for (int c = 0; c < kColumns; ++c) {
        const PositionColumn& column = kPositionColumns[static_cast<std::size_t>(c)];
        for (int k = 0; k < 2 * column.upper_count; ++k) {
            int module = column.upper_first_module + k;
            cells[static_cast<std::size_t>(module)] = {column.upper_first_row + k, c + 1};
        }
    }
    cells[kSlbModule] = {12, 13};
    return cells;
}();

// Module shown in a position table cell, or -1 for headers, empty and outside cells.
int PositionCellModule(int row, int column);
// White cells outside the antenna outline.
bool IsOutsideOutline(int row, int column);

// One half of an antenna column as the module views show it (up to seven modules).
inline constexpr int kMaxHalfModules = 7;

struct ColumnHalf {
    int column = 0;
    bool lower = false;
    int first_module = 0;
    int count = 0;
};

ColumnHalf HalfOfColumn(int column, bool lower);
// The modules of a half in slot order: the lower half of column 12 ends with 160.
std::array<int, kMaxHalfModules> ModulesOfHalf(const ColumnHalf& half);
// The half that shows a module; module 160 is in the lower half of column 12.
ColumnHalf HalfOfModule(int module);

}  // namespace vantu
