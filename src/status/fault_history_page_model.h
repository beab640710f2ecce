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
    std::optional<AlarmPriority> priority;
    bool unacknowledged_only = false;
};

bool Matches(const FaultEntry& entry, const FaultFilter& filter);
std::vector<const FaultEntry*> FilterFaults(const FaultHistory& history, const FaultFilter& filter);

// One row per alarm: raised, cleared, acknowledged, user, priority, kind, module, Q, E,
// item, state, comment.
std::string FaultViewCsv(const FaultHistory& history, const std::vector<const FaultEntry*>& view);

// The window's words for a state, a kind and an item, in Traditional Chinese; a state
// carries its glyph so the list reads without colour.
std::string_view AlarmStateText(AlarmState state);
std::string_view FaultKindText(FaultKind kind);
std::string_view FaultItemText(const FaultSource& source);

// "資料時間 19:46:12 (3 秒前)", "資料過期 ..." for a stale report, or "尚無資料".
std::string ReportAgeText(const ReportWatch& watch);

}  // namespace vantu
