// The fault history: every fault that appears or clears between two full reports,
// with its time, latched until the operator acknowledges it and appended to the day's
// fault log. Acknowledgements live only as long as the station runs; the log stays.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/log_files.h"
#include "base/ports.h"
#include "status/fault_sources.h"

namespace vantu {

struct FaultEntry {
    std::uint64_t id = 0;
    LocalTime time;
    FaultSource source;
    bool appeared = false;  // false: the fault cleared
    bool acknowledged = false;
};

inline constexpr std::string_view kFaultCsvHeader = "time,kind,module,Q,E,item,state";
// "2026-12-05 19:46:12,supply,12,3,1,9.5V,fault"; antenna-wide words leave module, Q
// and E empty.
std::string FaultCsvLine(const FaultEntry& entry);

class FaultHistory {
  public:
    // Entries kept in memory; the oldest go first. The log keeps them all.
    static constexpr std::size_t kMaxEntries = 100000;

    // log: where transitions are appended; null keeps them in memory only.
    explicit FaultHistory(LogFiles* log) : log_(log) {}

    // Records every source whose state differs from the last report's. The first
    // report records the faults it holds as appearing. Returns the transitions.
    int Record(std::span<const std::uint8_t, kFaultSourceCount> faults, const LocalTime& time);

    // Acknowledges the entry and the earlier ones of its source; the source's latch
    // clears unless a later appearance is still unacknowledged. Unknown ids are ignored.
    void Acknowledge(std::uint64_t id);
    void AcknowledgeAll();

    bool Faulty(std::size_t source) const { return !current_.empty() && current_[source] != 0; }
    // An appearance not yet acknowledged, whether or not the fault is still there.
    bool Latched(std::size_t source) const { return !latched_.empty() && latched_[source] != 0; }

    const std::deque<FaultEntry>& entries() const { return entries_; }
    // The entry with this id; null once the history dropped it, or never had it.
    const FaultEntry* Find(std::uint64_t id) const;
    // Changes with every recorded transition and acknowledgement.
    std::uint64_t revision() const { return revision_; }
    // Changes with every acknowledgement only.
    std::uint64_t acknowledgements() const { return acknowledgements_; }

  private:
    void Append(std::size_t source, bool appeared, const LocalTime& time);

    LogFiles* log_;
    std::vector<std::uint8_t> current_;
    std::vector<std::uint8_t> latched_;
    std::deque<FaultEntry> entries_;
    std::uint64_t next_id_ = 1;
    std::uint64_t revision_ = 0;
    std::uint64_t acknowledgements_ = 0;
};

}  // namespace vantu
