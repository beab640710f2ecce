// What the simulated chassis is told by simulation.ini in the station directory: the
// fault injector's seed and rate, faults that never clear, and modules that are absent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantu {

enum class SimFault : std::uint8_t {
    // One element (module, E, Q).
    kTx,
    kRx,  // shown by the station, never a fault
    kSupply32V,
    kSupply9V5,
    kSupply5V,
    kSupplyNeg6V,
    kHot,
    kSummary,
    // One Q channel (module, Q).
    kQdxaFault,
    kQdxaHot,
    kQdxaSp,
    kQdxaVoltage,
    kDigitalId,
    // One bit of a `reg_sts` word (interface words 4, 5; health words 20-27).
    kStatusBit,
};

struct StuckFault {
    SimFault kind = SimFault::kTx;
    int module = 0;
    int element = 0;
    int q = 0;
    int word = 0;
    int bit = 0;
};

struct ChassisSettings {
    std::uint64_t seed = 1;
    // Chance per model step that a healthy element, Q channel or health bit starts a
    // transient fault.
    double fault_rate = 0.0002;
    std::vector<StuckFault> stuck_faults;
    std::vector<int> absent_modules;
};

inline constexpr std::string_view kSimulationIni = "simulation.ini";

// simulation.ini of the station directory, section [SIMULATION]; a missing file or
// key keeps the default.
ChassisSettings LoadChassisSettings(const std::string& station_dir);
// "M010-E1-Q3-TX, M160-Q2-SP, W27-B31": entries that do not parse are skipped.
std::vector<StuckFault> ParseStuckFaults(std::string_view text);

}  // namespace vantu
