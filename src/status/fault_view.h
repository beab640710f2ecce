// The history page's view of the fault history: the entries a filter lets through,
// newest first, the CSV export of that view, and the data-age line every page shows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "status/fault_history.h"
#include "status/report_watch.h"

namespace vantu {

struct FaultFilter {
    int module = -1;  // -1: every module and the antenna-wide words
    std::optional<FaultKind> kind;
    bool unacknowledged_only = false;
};

bool Matches(const FaultEntry& entry, const FaultFilter& filter);
std::vector<const FaultEntry*> FilterFaults(const FaultHistory& history, const FaultFilter& filter);

// The fault log's columns and an "acknowledged" column (yes/no).
std::string FaultViewCsv(const std::vector<const FaultEntry*>& view);

// "資料時間 19:46:12 (3 秒前)", "資料過期 ..." for a stale report, or "尚無資料".
std::string ReportAgeText(const ReportWatch& watch);

}  // namespace vantu
