#include "status/fault_history.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

namespace vantu {
namespace {

std::string TimeText(const LocalTime& t) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::size_t PriorityIndex(const FaultSource& source) {
    return static_cast<std::size_t>(PriorityOf(source));
}

}  // namespace

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

std::string FaultCsvLine(const LocalTime& time, const FaultSource& s, std::string_view event,
                         std::string_view user, std::string_view comment) {
    auto number = [](int value) { return value < 0 ? std::string() : std::to_string(value); };
    std::string line = TimeText(time);
    line += ',';
    line += FaultKindName(s.kind);
    line += ',' + number(s.module) + ',' + number(s.q) + ',' + number(s.element) + ',';
    line += FaultItemName(s);
    line += ',';
    line += event;
    line += ',';
    line += PriorityToken(PriorityOf(s));
    line += ',' + CsvField(user) + ',' + CsvField(comment);
    return line;
}

int FaultHistory::Record(std::span<const std::uint8_t, kFaultSourceCount> faults,
                         const LocalTime& time) {
    if (current_.empty()) {
        current_.assign(kFaultSourceCount, 0);
        unacknowledged_.assign(kFaultSourceCount, 0);
        last_alarm_.assign(kFaultSourceCount, 0);
    }
    ReturnExpiredShelves(time);
    const std::int64_t now = SecondsOf(time);
    int transitions = 0;
    // Nearly every report repeats the last one: equal runs are skipped a block at a time.
    constexpr std::size_t kRun = 256;
    for (std::size_t start = 0; start < kFaultSourceCount; start += kRun) {
        const std::size_t end = std::min(start + kRun, kFaultSourceCount);
        if (std::memcmp(&faults[start], &current_[start], end - start) == 0) {
            continue;
        }
        for (std::size_t i = start; i < end; ++i) {
            const std::uint8_t fault = faults[i] != 0;
            if (fault == current_[i]) {
                continue;
            }
            current_[i] = fault;
            const bool chattering = rates_.Changed(i, now);
            if (fault != 0) {
                Raise(i, time, chattering);
            } else {
                Clear(i, time);
            }
            ++transitions;
        }
    }
    if (transitions > 0) {
        ++revision_;
    }
    return transitions;
}

void FaultHistory::Raise(std::size_t source, const LocalTime& time, bool chattering) {
    ++active_sources_;
    const FaultSource where = FaultSourceAt(source);
    Log(time, FaultCsvLine(time, where, "fault"));
    FaultEntry* open = Find(last_alarm_[source]);
    // A chattering source stays one alarm: it is active again, not raised anew.
    if (chattering && open != nullptr && StateOf(*open) != AlarmState::kNormal) {
        open->cleared.reset();
        ++open->chatter;
        return;
    }
    if (entries_.size() == kMaxEntries) {
        Drop();
    }
    FaultEntry& entry = entries_.emplace_back();
    entry.id = next_id_++;
    entry.time = time;
    entry.source = where;
    last_alarm_[source] = entries_.back().id;
    ++unacknowledged_[source];
    ++unacknowledged_by_priority_[PriorityIndex(where)];
    if (shelves_.count(source) == 0) {
        rates_.Raised(SecondsOf(time));
    }
}

void FaultHistory::Clear(std::size_t source, const LocalTime& time) {
    --active_sources_;
    Log(time, FaultCsvLine(time, FaultSourceAt(source), "clear"));
    if (FaultEntry* open = Find(last_alarm_[source])) {
        open->cleared = time;
    }
}

// The oldest alarm goes; an unacknowledged one no longer latches its source.
void FaultHistory::Drop() {
    const FaultEntry& oldest = entries_.front();
    if (!oldest.acknowledged) {
        --unacknowledged_[FaultIndex(oldest.source)];
        --unacknowledged_by_priority_[PriorityIndex(oldest.source)];
    }
    entries_.pop_front();
}

const FaultEntry* FaultHistory::Find(std::uint64_t id) const {
    if (entries_.empty() || id < entries_.front().id || id > entries_.back().id) {
        return nullptr;
    }
    return &entries_[static_cast<std::size_t>(id - entries_.front().id)];
}

FaultEntry* FaultHistory::Find(std::uint64_t id) {
    return const_cast<FaultEntry*>(std::as_const(*this).Find(id));
}

void FaultHistory::MarkAcknowledged(FaultEntry& entry, const LocalTime& time, std::string_view user,
                                    std::string_view comment) {
    entry.acknowledged = time;
    entry.acknowledged_by = user;
    entry.comment = comment;
    --unacknowledged_[FaultIndex(entry.source)];
    --unacknowledged_by_priority_[PriorityIndex(entry.source)];
}

void FaultHistory::Acknowledge(std::uint64_t id, const LocalTime& time, std::string_view user,
                               std::string_view comment) {
    FaultEntry* entry = Find(id);
    if (entry == nullptr || entry->acknowledged) {
        return;
    }
    MarkAcknowledged(*entry, time, user, comment);
    Log(time, FaultCsvLine(time, entry->source, "ack", user, comment));
    ++revision_;
}

void FaultHistory::AcknowledgeAll(const LocalTime& time, std::string_view user) {
    std::string lines;
    for (FaultEntry& entry : entries_) {
        if (!entry.acknowledged) {
            MarkAcknowledged(entry, time, user, {});
            lines += FaultCsvLine(time, entry.source, "ack", user) + '\n';
        }
    }
    if (!lines.empty()) {
        lines.pop_back();
        Log(time, lines);
        ++revision_;
    }
}

void FaultHistory::Shelve(std::span<const std::size_t> sources, std::int64_t seconds,
                          std::string_view reason, const LocalTime& time, std::string_view user) {
    std::string lines;
    for (std::size_t source : sources) {
        if (source >= kFaultSourceCount) {
            continue;
        }
        shelves_[source] = Shelf{SecondsOf(time) + seconds, seconds <= 0, std::string(reason)};
        lines += FaultCsvLine(time, FaultSourceAt(source), "shelve", user, reason) + '\n';
    }
    if (!lines.empty()) {
        lines.pop_back();
        Log(time, lines);
        ++revision_;
    }
}

void FaultHistory::Unshelve(std::span<const std::size_t> sources, const LocalTime& time,
                            std::string_view user) {
    std::string lines;
    for (std::size_t source : sources) {
        if (shelves_.erase(source) > 0) {
            lines += FaultCsvLine(time, FaultSourceAt(source), "return", user) + '\n';
        }
    }
    if (!lines.empty()) {
        lines.pop_back();
        Log(time, lines);
        ++revision_;
    }
}

void FaultHistory::ReturnExpiredShelves(const LocalTime& time) {
    const std::int64_t now = SecondsOf(time);
    std::vector<std::size_t> expired;
    for (const auto& [source, shelf] : shelves_) {
        if (!shelf.out_of_service && shelf.until <= now) {
            expired.push_back(source);
        }
    }
    std::sort(expired.begin(), expired.end());
    Unshelve(expired, time, {});
}

const Shelf* FaultHistory::ShelfOf(std::size_t source) const {
    const auto it = shelves_.find(source);
    return it == shelves_.end() ? nullptr : &it->second;
}

AlarmState FaultHistory::StateOf(const FaultEntry& entry) const {
    if (const Shelf* shelf = ShelfOf(FaultIndex(entry.source))) {
        return shelf->out_of_service ? AlarmState::kOutOfService : AlarmState::kShelved;
    }
    if (entry.active()) {
        return entry.acknowledged ? AlarmState::kActiveAcknowledged
                                  : AlarmState::kActiveUnacknowledged;
    }
    return entry.acknowledged ? AlarmState::kNormal : AlarmState::kClearedUnacknowledged;
}

AlarmFigures FaultHistory::Figures(const LocalTime& time) {
    const std::int64_t now = SecondsOf(time);
    AlarmFigures figures;
    figures.last_10_minutes = rates_.RecentAlarms(now);
    figures.flood = figures.last_10_minutes > kFloodAlarms;
    figures.shift_per_10_minutes = rates_.ShiftAlarmsPer10Minutes(now);
    figures.standing = active_sources_;
    figures.chattering = rates_.ChatteringSources(now);
    figures.shelved = static_cast<int>(shelves_.size());
    figures.unacknowledged = unacknowledged_by_priority_;
    return figures;
}

void FaultHistory::Log(const LocalTime& time, const std::string& lines) {
    if (log_ != nullptr) {
        log_->AppendFaultLog(time, kFaultCsvHeader, lines);
    }
}

}  // namespace vantu
