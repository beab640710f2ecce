#include "status/fault_view.h"

#include <cstdio>

namespace vantu {

bool Matches(const FaultEntry& entry, const FaultFilter& filter) {
    return (filter.module < 0 || entry.source.module == filter.module) &&
           (!filter.kind || entry.source.kind == *filter.kind) &&
           !(filter.unacknowledged_only && entry.acknowledged);
}

std::vector<const FaultEntry*> FilterFaults(const FaultHistory& history,
                                            const FaultFilter& filter) {
    std::vector<const FaultEntry*> view;
    const auto& entries = history.entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (Matches(*it, filter)) {
            view.push_back(&*it);
        }
    }
    return view;
}

std::string FaultViewCsv(const std::vector<const FaultEntry*>& view) {
    std::string csv(kFaultCsvHeader);
    csv += ",acknowledged\n";
    for (const FaultEntry* entry : view) {
        csv += FaultCsvLine(*entry);
        csv += entry->acknowledged ? ",yes\n" : ",no\n";
    }
    return csv;
}

std::string ReportAgeText(const ReportWatch& watch) {
    if (!watch.last_read()) {
        return watch.stale() ? "資料過期 (尚無資料)" : "尚無資料";
    }
    const LocalTime& t = *watch.last_read();
    char text[96];
    std::snprintf(text, sizeof text, "%s %02d:%02d:%02d (%lld 秒前)",
                  watch.stale() ? "資料過期, 上次讀取" : "資料時間", t.hour, t.minute, t.second,
                  static_cast<long long>(watch.AgeSeconds()));
    return text;
}

}  // namespace vantu
