// Timed events of the simulated chassis, for training and tests: a fault of any form
// the stuck faults take, or a fault of the card itself, from one model step (second of
// the card's clock) until another or for good.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "sim/sim_fault.h"

namespace vantu {

enum class CardFault : std::uint8_t {
    kNone,           // the event is a report fault
    kSilent,         // every read 0xFFFFFFFF
    kSequencerBusy,  // the sequencer sticks busy
    kFlashBusy,      // the flash never becomes ready
};

struct ScenarioEvent {
    std::int64_t from_step = 0;
    std::optional<std::int64_t> until_step;  // none: for good
    // 0: steady; else on for the first half of every period and off for the rest, a
    // fault that comes and goes (chatters).
    std::int64_t period = 0;
    CardFault card = CardFault::kNone;
    StuckFault fault;

    bool ActiveAt(std::int64_t step) const {
        return step >= from_step && (!until_step || step < *until_step) &&
               (period == 0 || (step - from_step) % period < period / 2);
    }
};

// "30 M010-E1-Q3-HOT", "40-70 W4-B0", "90 SEQ-BUSY", "100-160/10 M020-E0-Q0-TX" (a
// period of 2 s or more; letters in any case); nullopt when the text does not parse.
std::optional<ScenarioEvent> ParseScenarioEvent(std::string_view text);

}  // namespace vantu
