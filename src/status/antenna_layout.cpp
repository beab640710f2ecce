#include "status/antenna_layout.h"

namespace vantu {

int PositionCellModule(int row, int column) {
    if (row < 1 || row >= kPositionGridSize || column < 1 || column >= kPositionGridSize) {
        return -1;
    }
    const PositionColumn& entry = kPositionColumns[static_cast<std::size_t>(column - 1)];
    if (row < kPositionLowerFirstRow) {
        int k = row - entry.upper_first_row;
        return k >= 0 ? entry.upper_first_module + k : -1;
    }
    int k = row - kPositionLowerFirstRow;
    if (k >= entry.lower_count) {
        return -1;
    }
    int module = entry.lower_first_module + k;
    return module == ColumnFirstModule(kSlbColumn + 1) ? kSlbModule : module;
}

bool IsOutsideOutline(int row, int column) {
    switch (row) {
        case 1:
        case 14:
            return column < 5 || column > 10;
        case 2:
        case 3:
        case 12:
        case 13:
            return column < 3 || column > 12;
        case 4:
        case 11:
            return column < 2 || column > 13;
        default:
            return false;
    }
}

ColumnHalf HalfOfColumn(int column, bool lower) {
    const PositionColumn& entry = kPositionColumns[static_cast<std::size_t>(column)];
    return lower ? ColumnHalf{column, true, entry.lower_first_module, entry.lower_count}
                 : ColumnHalf{column, false, entry.upper_first_module, entry.upper_count};
}

std::array<int, kMaxHalfModules> ModulesOfHalf(const ColumnHalf& half) {
    std::array<int, kMaxHalfModules> modules{};
    modules.fill(-1);
    for (int k = 0; k < half.count && k < kMaxHalfModules; ++k) {
        int module = half.first_module + k;
        modules[static_cast<std::size_t>(k)] =
            module >= ColumnFirstModule(kSlbColumn + 1) && half.column == kSlbColumn ? kSlbModule
                                                                                     : module;
    }
    return modules;
}

ColumnHalf HalfOfModule(int module) {
    if (module == kSlbModule) {
        return HalfOfColumn(kSlbColumn, true);
    }
    ModulePlace place = PlaceOfModule(module);
    const PositionColumn& entry = kPositionColumns[static_cast<std::size_t>(place.column)];
    return HalfOfColumn(place.column, module >= entry.lower_first_module);
}

}  // namespace vantu
