#include "status/fault_history.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vantu {

std::string FaultCsvLine(const FaultEntry& entry) {
    const LocalTime& t = entry.time;
    const FaultSource& s = entry.source;
    auto number = [](int value) { return value < 0 ? std::string() : std::to_string(value); };
    char time[40];
    std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    std::string line = time;
    line += ',';
    line += FaultKindName(s.kind);
    line += ',' + number(s.module) + ',' + number(s.q) + ',' + number(s.element) + ',';
    line += FaultItemName(s);
    line += entry.appeared ? ",fault" : ",clear";
    return line;
}

int FaultHistory::Record(std::span<const std::uint8_t, kFaultSourceCount> faults,
                         const LocalTime& time) {
    if (current_.empty()) {
        current_.assign(kFaultSourceCount, 0);
        latched_.assign(kFaultSourceCount, 0);
    }
    int transitions = 0;
    // Nearly every report repeats the last one: equal runs are skipped a block at a time.
    constexpr std::size_t kRun = 256;
    for (std::size_t start = 0; start < kFaultSourceCount; start += kRun) {
        const std::size_t end = std::min(start + kRun, kFaultSourceCount);
        if (std::memcmp(&faults[start], &current_[start], end - start) == 0) {
            continue;
        }
        for (std::size_t i = start; i < end; ++i) {
            const std::uint8_t now = faults[i] != 0;
            if (now != current_[i]) {
                current_[i] = now;
                Append(i, now != 0, time);
                ++transitions;
            }
        }
    }
    if (transitions > 0) {
        ++revision_;
    }
    return transitions;
}

void FaultHistory::Append(std::size_t source, bool appeared, const LocalTime& time) {
    if (appeared) {
        latched_[source] = 1;
    }
    FaultEntry entry{next_id_++, time, FaultSourceAt(source), appeared, false};
    if (log_ != nullptr) {
        log_->AppendFaultLog(time, kFaultCsvHeader, FaultCsvLine(entry));
    }
    if (entries_.size() == kMaxEntries) {
        entries_.pop_front();
    }
    entries_.push_back(entry);
}

void FaultHistory::Acknowledge(std::uint64_t id) {
    if (Find(id) == nullptr) {
        return;
    }
    const auto at = entries_.begin() + static_cast<std::ptrdiff_t>(id - entries_.front().id);
    const FaultSource source = at->source;
    for (auto it = entries_.begin(); it != at + 1; ++it) {
        if (it->source == source) {
            it->acknowledged = true;
        }
    }
    const bool pending = std::any_of(at + 1, entries_.end(), [&](const FaultEntry& e) {
        return e.source == source && e.appeared && !e.acknowledged;
    });
    if (!pending) {
        latched_[FaultIndex(source)] = 0;
    }
    ++revision_;
    ++acknowledgements_;
}

const FaultEntry* FaultHistory::Find(std::uint64_t id) const {
    if (entries_.empty() || id < entries_.front().id || id > entries_.back().id) {
        return nullptr;
    }
    return &entries_[static_cast<std::size_t>(id - entries_.front().id)];
}

void FaultHistory::AcknowledgeAll() {
    for (FaultEntry& entry : entries_) {
        entry.acknowledged = true;
    }
    std::fill(latched_.begin(), latched_.end(), 0);
    ++revision_;
    ++acknowledgements_;
}

}  // namespace vantu
