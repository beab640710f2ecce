// The main controller's timers, and the stop/restart pair that every load, reset and
// remote command wraps around its card work.
#pragma once

#include <algorithm>

#include "base/ports.h"

namespace vantu {

inline constexpr int kReportPollTimer = 0;
inline constexpr int kMainRefreshTimer = 1;
inline constexpr int kAntennaTimer = 2;
inline constexpr int kFirmwareTimer = 3;
// The signal-analyzer page's continuous-mode timer.
inline constexpr int kContinuousRunTimer = 20;

inline constexpr int kReportPollPeriodMs = 200;
inline constexpr int kReportPollRestartMs = 1000;
inline constexpr int kMainRefreshRestartMs = 1500;
inline constexpr int kMainRefreshPeriodMs = 5500;

// Report polling and the main page refresh stop while the card is being rewritten.
inline void StopPeriodicTimers(Timers& timers) {
    timers.Kill(kReportPollTimer);
    timers.Kill(kMainRefreshTimer);
}

// Polling resumes after 1 s, the main page repaints from the new reports after 1.5 s.
// Without a card there is nothing to poll, so the report timer stays stopped.
inline void RestartPeriodicTimers(Timers& timers, bool card_open) {
    if (card_open) {
        timers.Start(kReportPollTimer, kReportPollRestartMs);
    }
    timers.Start(kMainRefreshTimer, kMainRefreshRestartMs);
}

// What the periodic timers had left when a remote command stopped them (-1: stopped).
struct PausedTimers {
    long long poll_ms = -1;
    long long refresh_ms = -1;
};

inline PausedTimers PausePeriodicTimers(Timers& timers) {
    const PausedTimers paused{timers.RemainingMs(kReportPollTimer),
                              timers.RemainingMs(kMainRefreshTimer)};
    StopPeriodicTimers(timers);
    return paused;
}

// A remote command restarts the timers with what they had left less the command's own
// time, never more than the 1 s and 1.5 s restarts: a client that sends faster than the
// restart delay would otherwise stop the report polling for as long as it sends.
inline void ResumePeriodicTimers(Timers& timers, const PausedTimers& paused, long long elapsed_ms,
                                 bool card_open) {
    const auto delay = [elapsed_ms](long long left, int restart_ms) {
        return left < 0 ? restart_ms
                        : static_cast<int>(std::clamp(left - elapsed_ms, 1LL,
                                                      static_cast<long long>(restart_ms)));
    };
    if (card_open) {
        timers.Start(kReportPollTimer, delay(paused.poll_ms, kReportPollRestartMs));
    }
    timers.Start(kMainRefreshTimer, delay(paused.refresh_ms, kMainRefreshRestartMs));
}

}  // namespace vantu
