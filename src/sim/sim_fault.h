// The faults the simulated chassis can show in its report words.
#pragma once

#include <cstdint>

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

}  // namespace vantu
