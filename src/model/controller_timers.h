// The main controller's timers, and the stop/restart pair that every load, reset and
// remote command wraps around its card work.
#pragma once

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

}  // namespace vantu
