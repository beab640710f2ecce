// What the station learns from each full report beyond the present: whether it could
// be read at all (its age, or stale), the fault history and the temperature trend.
// Fed by every report poll.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/ports.h"
#include "status/fault_history.h"
#include "status/report_capture.h"
#include "status/report_memory.h"
#include "status/temperature_trend.h"

namespace vantu {

// Every block read since the last zero, and none reading all 0xFFFFFFFF (what a card
// that stopped answering returns). The supply blocks are exempt: there all ones is
// every supply good.
bool ReportReadable(const ReportMemory& report);

class ReportWatch {
  public:
    ReportWatch(const ReportMemory& report, Clock& clock, LogFiles* log);

    // One poll of the report timer; `cycle_done` when it read the last block. A failed
    // poll makes the whole cycle stale; a readable complete cycle is recorded.
    void Polled(ReportPoll poll, bool cycle_done);

    // The last cycle failed or read garbage: its values are not shown as a report.
    bool stale() const { return stale_; }
    // When the last readable report was completed; none before the first.
    const std::optional<LocalTime>& last_read() const { return last_read_; }
    // Whole seconds since then; -1 before the first.
    std::int64_t AgeSeconds() const;
    // Clock::Microseconds when the last readable report was completed; none before.
    std::optional<std::int64_t> last_read_us() const;
    // Cycles whose blocks all came but did not make a readable report (a card that
    // stopped answering reads all ones); failed block reads are counted by the poll.
    std::uint64_t unreadable_cycles() const { return unreadable_cycles_; }

    // The station's wall-clock time, for the operator's acknowledgements and shelves.
    LocalTime Now() const { return clock_.Now(); }
    FaultHistory& history() { return history_; }
    const FaultHistory& history() const { return history_; }
    const TemperatureTrend& trend() const { return trend_; }

    // Fault and trend recording can be left out (measurements, tools).
    void set_recording(bool on) { recording_ = on; }

  private:
    void CycleDone();

    const ReportMemory& report_;
    Clock& clock_;
    FaultHistory history_;
    TemperatureTrend trend_;
    std::vector<std::uint8_t> faults_;
    bool recording_ = true;
    bool cycle_failed_ = false;
    bool stale_ = false;
    std::optional<LocalTime> last_read_;
    std::int64_t last_read_us_ = 0;
    std::uint64_t unreadable_cycles_ = 0;
};

}  // namespace vantu
