// The load the alarms put on the operator: new alarms in the last 10 minutes and over
// the shift, and the sources that chatter (change 3 or more times within 60 s).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>

#include "base/ports.h"

namespace vantu {

inline constexpr std::int64_t kFloodWindowS = 600;
// More new alarms than this within the window is a flood.
inline constexpr int kFloodAlarms = 10;
inline constexpr std::int64_t kChatterWindowS = 60;
inline constexpr int kChatterChanges = 3;

// Seconds since 1970 of a local wall-clock time, for differences only.
std::int64_t SecondsOf(const LocalTime& time);

class AlarmRates {
  public:
    // A source changed state; true when it now chatters.
    bool Changed(std::size_t source, std::int64_t now);
    // A new alarm was raised.
    void Raised(std::int64_t now);

    int RecentAlarms(std::int64_t now);
    // New alarms per 10 minutes since the first alarm; the count so far within the first
    // 10 minutes.
    double ShiftAlarmsPer10Minutes(std::int64_t now) const;
    int ChatteringSources(std::int64_t now);

  private:
    using Changes = std::array<std::int64_t, kChatterChanges>;
    static bool Chatters(const Changes& changes, std::int64_t now);

    std::deque<std::int64_t> raised_;
    // Each recently changed source's last changes, oldest first.
    std::unordered_map<std::size_t, Changes> changes_;
    std::int64_t shift_start_ = -1;
    std::int64_t shift_alarms_ = 0;
};

}  // namespace vantu
