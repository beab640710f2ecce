// What the simulated chassis is told by simulation.ini in the station directory: the
// fault injector's seed and rate, faults that never clear, modules that are absent,
// the card's timings, the timed events of a scenario and a report log to replay.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/ports.h"
#include "sim/scenario.h"
#include "sim/sim_fault.h"
#include "sim/simulated_card.h"

namespace vantu {

struct ChassisSettings {
    std::uint64_t seed = 1;
    // Chance per model step that a healthy element, Q channel or health bit starts a
    // transient fault.
    double fault_rate = 0.0000006;
    std::vector<StuckFault> stuck_faults;
    std::vector<int> absent_modules;
    // The card's timings, those of a real card unless told otherwise: 2048 words in
    // 20 s, a 25 MHz SPI clock and the flash's typical erase and program times.
    double word_time_us = 9765.625;
    std::int64_t spi_clock_hz = 25'000'000;
    std::int64_t erase_busy_us = 150'000;
    std::int64_t program_busy_us = 500;
    std::vector<ScenarioEvent> scenario;
    // A qdxa_rpt_reg.log whose snapshots replace the model's report words, one every
    // replay_interval_s seconds; empty: none.
    std::string replay_path;
    int replay_interval_s = 5;
};

inline constexpr std::string_view kSimulationIni = "simulation.ini";

// simulation.ini of the station directory, section [SIMULATION]; a missing file or
// key keeps the default.
ChassisSettings LoadChassisSettings(const std::string& station_dir);
// The card the settings describe, on the given clock.
SimulatedCardConfig CardConfigOf(const ChassisSettings& settings, Clock* clock);
// "M010-E1-Q3-TX, M160-Q2-SP, W27-B31": entries that do not parse are skipped.
std::vector<StuckFault> ParseStuckFaults(std::string_view text);

}  // namespace vantu
