// The alarms of the fault sources. A fault that appears raises an alarm; the same alarm
// records when it cleared and when and by whom it was acknowledged, so one
// acknowledgement covers the occurrence. A source that chatters folds its raises into
// its open alarm. Sources can be shelved for a time or taken out of service. Every
// raise, clear, acknowledgement, shelve and return is appended to the day's fault log,
// so a day can be replayed; acknowledgements and shelves live as long as the station.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/log_files.h"
#include "base/ports.h"
#include "status/alarm_priority.h"
#include "status/alarm_rates.h"
#include "status/fault_sources.h"

namespace vantu {

enum class AlarmState : std::uint8_t {
    kNormal,
    kActiveUnacknowledged,
    kActiveAcknowledged,
    kClearedUnacknowledged,
    kShelved,
    kOutOfService,
};

// One alarm: one occurrence of a source's fault.
struct FaultEntry {
    std::uint64_t id = 0;
    LocalTime time;  // raised
    FaultSource source;
    std::optional<LocalTime> cleared;
    std::optional<LocalTime> acknowledged;
    std::string acknowledged_by;
    std::string comment;
    // Raises folded into this alarm while its source chattered.
    int chatter = 0;

    bool active() const { return !cleared; }
};

// Shelved until `until` (seconds of SecondsOf); out of service has no end.
struct Shelf {
    std::int64_t until = 0;
    bool out_of_service = false;
    std::string reason;
};

inline constexpr std::string_view kFaultCsvHeader =
    "time,kind,module,Q,E,item,state,priority,user,comment";
// One event of the day's fault log: "2026-12-05 19:46:12,supply,12,3,1,9.5V,fault,high,,";
// the state is fault, clear, ack, shelve or return.
std::string FaultCsvLine(const LocalTime& time, const FaultSource& source, std::string_view event,
                         std::string_view user = {}, std::string_view comment = {});
// A CSV field, quoted when it holds a comma, a quote or a line end.
std::string CsvField(std::string_view text);

struct AlarmFigures {
    int last_10_minutes = 0;
    double shift_per_10_minutes = 0;
    int standing = 0;  // active now
    int chattering = 0;
    int shelved = 0;
    std::array<int, kAlarmPriorityCount> unacknowledged{};
    bool flood = false;
};

class FaultHistory {
  public:
    // Alarms kept in memory; the oldest go first. The log keeps every event.
    static constexpr std::size_t kMaxEntries = 100000;

    // log: where events are appended; null keeps them in memory only.
    explicit FaultHistory(LogFiles* log) : log_(log) {}

    // Raises and clears the alarms of every source whose state differs from the last
    // report's, and returns shelves whose time is up. The first report raises the
    // faults it holds. Returns the transitions.
    int Record(std::span<const std::uint8_t, kFaultSourceCount> faults, const LocalTime& time);

    // One acknowledgement covers the occurrence, active or cleared. Unknown ids and
    // acknowledged alarms are left alone.
    void Acknowledge(std::uint64_t id, const LocalTime& time, std::string_view user,
                     std::string_view comment = {});
    void AcknowledgeAll(const LocalTime& time, std::string_view user);

    // seconds 0: out of service until returned by Unshelve.
    void Shelve(std::span<const std::size_t> sources, std::int64_t seconds, std::string_view reason,
                const LocalTime& time, std::string_view user);
    void Unshelve(std::span<const std::size_t> sources, const LocalTime& time,
                  std::string_view user);
    const Shelf* ShelfOf(std::size_t source) const;

    AlarmState StateOf(const FaultEntry& entry) const;
    bool Faulty(std::size_t source) const { return !current_.empty() && current_[source] != 0; }
    // An alarm of the source not yet acknowledged, whether or not the fault is still there.
    bool Latched(std::size_t source) const {
        return !unacknowledged_.empty() && unacknowledged_[source] != 0;
    }

    const std::deque<FaultEntry>& entries() const { return entries_; }
    // The alarm with this id; null once the history dropped it, or never had it.
    const FaultEntry* Find(std::uint64_t id) const;
    // Changes with every event.
    std::uint64_t revision() const { return revision_; }
    AlarmFigures Figures(const LocalTime& now);

  private:
    void Raise(std::size_t source, const LocalTime& time, bool chattering);
    void Clear(std::size_t source, const LocalTime& time);
    void ReturnExpiredShelves(const LocalTime& time);
    void Drop();
    FaultEntry* Find(std::uint64_t id);
    void MarkAcknowledged(FaultEntry& entry, const LocalTime& time, std::string_view user,
                          std::string_view comment);
    void Log(const LocalTime& time, const std::string& lines);

    LogFiles* log_;
    std::vector<std::uint8_t> current_;
    // Unacknowledged alarms per source.
    std::vector<std::uint32_t> unacknowledged_;
    // Each source's newest alarm.
    std::vector<std::uint64_t> last_alarm_;
    std::unordered_map<std::size_t, Shelf> shelves_;
    AlarmRates rates_;
    int active_sources_ = 0;
    std::array<int, kAlarmPriorityCount> unacknowledged_by_priority_{};
    std::deque<FaultEntry> entries_;
    std::uint64_t next_id_ = 1;
    std::uint64_t revision_ = 0;
};

}  // namespace vantu
