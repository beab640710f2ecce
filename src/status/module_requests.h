// The two controller codes that act on single modules: (10, request) decodes the
// modules of a column half into a page's module view, (21, m) clears a module's host
// report words.
#pragma once

#include <array>
#include <cstdint>

#include "status/antenna_layout.h"
#include "status/module_table.h"
#include "status/report_memory.h"
#include "status/status_decoder.h"

namespace vantu {

inline constexpr int kModuleViewRequestCode = 10;
inline constexpr int kClearModuleReportsCode = 21;

// Entry i: word 0 = first element row, word 1 = first column of module i; entry 0 also
// holds the first module (word 4), the module count (word 5) and the view type (word 6).
using ModuleRequestEntry = std::array<std::uint32_t, 7>;

struct ModuleViewRequest {
    std::array<ModuleRequestEntry, kMaxHalfModules> entries{};
    // The page whose grids show the result; null decodes without drawing.
    const ModuleViewDisplay* display = nullptr;
};

// The request a status page sends for one column half: module k into grid slot k
// (element rows from 5k + 1, Q0 in column 2).
ModuleViewRequest MakeModuleViewRequest(const ColumnHalf& half, int view_type,
                                        const ModuleViewDisplay* display);

// Decodes modules F .. F + N - 1 with entries 0, 1, ...; when F is 150 the number 154
// becomes 160 (after the bound test), so the lower half of column 12 ends with the SLB
// module. Stops at the last entry and at the last module.
void ApplyModuleViewRequest(StatusDecoder& decoder, const ModuleViewRequest& request);

// Zeroes the module's words of `reg_trm_temp` (4 per slot) and `reg_qdxa_sts` (2 per
// slot) in the host copy; the card keeps its values and the next poll brings them back.
// Numbers outside the module table change nothing.
void ClearModuleReports(ReportMemory& report, const ModuleTable& table, int module);

}  // namespace vantu
