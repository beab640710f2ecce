#include "sim/sequencer.h"

namespace vantu {

void SimulatedSequencer::Enable(std::uint32_t words) {
    start_ns_ = clock_.Nanoseconds();
    end_ns_ = start_ns_ + static_cast<std::int64_t>(words) * word_time_ns_;
}

bool SimulatedSequencer::IsBusy() const {
    return stuck_ || clock_.Nanoseconds() < end_ns_;
}

}  // namespace vantu
