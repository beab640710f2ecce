#include "status/latched_marks.h"

#include "status/module_fields.h"

namespace vantu {
namespace {

// Whether any source of the view's kind behind element (q, e) is latched; a view
// without fault sources has none.
bool SourceLatched(const FaultHistory& history, int module, int view_type, int q, int e) {
    const auto latched = [&](FaultKind kind, int element, int item) {
        return history.Latched(FaultIndex({kind, module, q, element, item}));
    };
    switch (view_type) {
        case kViewSummary:
            return latched(FaultKind::kElement, e, 0);
        case kViewTxRx:
            return latched(FaultKind::kTx, e, 0);
        case kViewVoltage:
            for (int supply = 0; supply < kSupplyCount; ++supply) {
                if (latched(FaultKind::kSupply, e, supply)) {
                    return true;
                }
            }
            return false;
        case kViewQdxa:
            return latched(FaultKind::kQdxaFlag, -1, e);
        default:
            return false;
    }
}

}  // namespace

void MarkLatched(const FaultHistory& history, int module, int view_type, int rows,
                 std::span<Cell> cells) {
    if (rows != kElements) {
        return;
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int q = static_cast<int>(i) / rows;
        const int e = static_cast<int>(i) % rows;
        if (cells[i].mark == CellMark::kNormal && SourceLatched(history, module, view_type, q, e)) {
            cells[i].mark = CellMark::kLatched;
        }
    }
}

bool ModuleLatched(const FaultHistory& history, int module, int view_type) {
    for (int q = 0; q < kQChannels; ++q) {
        for (int e = 0; e < kElements; ++e) {
            if (SourceLatched(history, module, view_type, q, e)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace vantu
