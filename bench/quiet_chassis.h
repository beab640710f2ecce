// The simulated card with a living antenna on it (seed 7, one fault in a hundred
// elements), opened without the card layer's console lines, and timers that do
// nothing: what the report benchmarks poll.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "base/ports.h"
#include "base/system_clock.h"
#include "sim/chassis_model.h"
#include "sim/simulated_card_session.h"

namespace vantu::bench {

class NullTimers : public Timers {
  public:
    void Start(int, int) override {}
    void Kill(int) override {}
};

struct QuietChassis {
    QuietChassis() {
        std::fflush(stdout);
        const int saved = ::dup(1);
        [[maybe_unused]] std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
        session = OpenSimulatedCard();
        std::fflush(stdout);
        ::dup2(saved, 1);
        ::close(saved);
        ChassisSettings settings;
        settings.seed = 7;
        settings.fault_rate = 0.01;
        model = std::make_unique<ChassisModel>(session->card(), clock, settings);
    }

    SystemClock clock;
    std::unique_ptr<SimulatedCardSession> session;
    std::unique_ptr<ChassisModel> model;
};

}  // namespace vantu::bench
