#include "status/fault_history_page_model.h"

#include <array>
#include <cstdio>

namespace vantu {

namespace {

std::string TimeText(const std::optional<LocalTime>& time) {
    if (!time) {
        return {};
    }
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time->year, time->month,
                  time->day, time->hour, time->minute, time->second);
    return text;
}

std::string_view StateToken(AlarmState state) {
    constexpr std::array<std::string_view, 6> kTokens = {
        "normal", "active", "active-acknowledged", "cleared", "shelved", "out-of-service"};
    return kTokens[static_cast<std::size_t>(state)];
}

}  // namespace

bool Matches(const FaultEntry& entry, const FaultFilter& filter) {
    return (filter.module < 0 || entry.source.module == filter.module) &&
           (!filter.kind || entry.source.kind == *filter.kind) &&
           (!filter.priority || PriorityOf(entry.source) == *filter.priority) &&
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

std::string FaultViewCsv(const FaultHistory& history, const std::vector<const FaultEntry*>& view) {
    std::string csv =
        "raised,cleared,acknowledged,user,priority,kind,module,Q,E,item,state,comment\n";
    auto number = [](int value) { return value < 0 ? std::string() : std::to_string(value); };
    for (const FaultEntry* e : view) {
        const FaultSource& s = e->source;
        csv += TimeText(e->time) + ',' + TimeText(e->cleared) + ',' + TimeText(e->acknowledged) +
               ',' + CsvField(e->acknowledged_by) + ',';
        csv += PriorityToken(PriorityOf(s));
        csv += ',';
        csv += FaultKindName(s.kind);
        csv += ',' + number(s.module) + ',' + number(s.q) + ',' + number(s.element) + ',';
        csv += FaultItemName(s);
        csv += ',';
        csv += StateToken(history.StateOf(*e));
        csv += ',' + CsvField(e->comment) + '\n';
    }
    return csv;
}

std::string_view AlarmStateText(AlarmState state) {
    constexpr std::array<std::string_view, 6> kTexts = {
        "✓ 正常", "✗ 故障 未確認", "✗ 故障 已確認", "! 已恢復 未確認", "擱置", "停用"};
    return kTexts[static_cast<std::size_t>(state)];
}

std::string_view FaultKindText(FaultKind kind) {
    constexpr std::array<std::string_view, kFaultKindCount> kTexts = {
        "元件",     "電源", "Tx",         "QDX-A",   "介面",
        "健康狀態", "過溫", "QDX-A 過溫", "數位 ID", "輸入功率"};
    return kTexts[static_cast<std::size_t>(kind)];
}

std::string_view FaultItemText(const FaultSource& source) {
    constexpr std::array<std::string_view, 4> kQdxaFlags = {"故障", "過溫", "SP 異常", "電壓"};
    constexpr std::array<std::string_view, 2> kInterfaces = {"SP 介面", "內部介面"};
    constexpr std::array<std::string_view, 4> kHealth = {"電源", "環境", "數位", "RF"};
    const auto item = static_cast<std::size_t>(source.item);
    switch (source.kind) {
        case FaultKind::kQdxaFlag:
            return kQdxaFlags[item];
        case FaultKind::kInterface:
            return kInterfaces[item];
        case FaultKind::kHealth:
            return kHealth[item];
        default:
            return FaultItemName(source);
    }
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
