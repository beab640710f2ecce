#include "status/module_requests.h"

#include <algorithm>

namespace vantu {
namespace {

constexpr int kModuleGridSlotRows = 5;
constexpr int kModuleGridFirstQColumn = 2;
constexpr std::uint32_t kSlbJumpFirst = 150;
constexpr std::uint32_t kSlbJumpFrom = 154;

}  // namespace

ModuleViewRequest MakeModuleViewRequest(const ColumnHalf& half, int view_type,
                                        const ModuleViewDisplay* display) {
    ModuleViewRequest request;
    for (std::size_t i = 0; i < request.entries.size(); ++i) {
        request.entries[i][0] = static_cast<std::uint32_t>(kModuleGridSlotRows * i + 1);
        request.entries[i][1] = kModuleGridFirstQColumn;
    }
    request.entries[0][4] = static_cast<std::uint32_t>(half.first_module);
    request.entries[0][5] = static_cast<std::uint32_t>(half.count);
    request.entries[0][6] = static_cast<std::uint32_t>(view_type);
    request.display = display;
    return request;
}

void ApplyModuleViewRequest(StatusDecoder& decoder, const ModuleViewRequest& request) {
    const std::uint32_t first = request.entries[0][4];
    const std::uint32_t end = first + request.entries[0][5];
    const auto kind = static_cast<int>(request.entries[0][6]);
    std::uint32_t m = first;
    for (std::size_t i = 0; m < end && i < request.entries.size() && m <= kSlbModule; ++m, ++i) {
        if (first == kSlbJumpFirst && m == kSlbJumpFrom) {
            m = kSlbModule;
        }
        const ModuleRequestEntry& entry = request.entries[i];
        decoder.DecodeModuleView(static_cast<int>(m), kind, static_cast<int>(entry[0]),
                                 static_cast<int>(entry[1]), request.display);
    }
}

void ClearModuleReports(ReportMemory& report, const ModuleTable& table, int module) {
    const ModuleRecord* record = table.Find(module);
    if (record == nullptr) {
        return;
    }
    const auto slot = static_cast<std::size_t>(ReportSlot(record->column, record->index));
    auto temp = report.array(ReportArray::kTrmTemp).subspan(4 * slot, 4);
    auto qdxa = report.array(ReportArray::kQdxaSts).subspan(2 * slot, 2);
    std::fill(temp.begin(), temp.end(), 0u);
    std::fill(qdxa.begin(), qdxa.end(), 0u);
}

}  // namespace vantu
