// The card's sequencer: an enable walks the loaded control code word by word at a
// fixed time per word and is busy until the last word is done; a stop ends the walk at
// once. A stuck sequencer (a fault the scenarios play) reads busy whatever it is told.
#pragma once

#include <cstdint>

#include "base/ports.h"

namespace vantu {

class SimulatedSequencer {
  public:
    SimulatedSequencer(Clock& clock, std::int64_t word_time_ns)
        : clock_(clock), word_time_ns_(word_time_ns) {}

    // Starts a walk over the given number of words; zero words end at once.
    void Enable(std::uint32_t words);
    void Stop() { end_ns_ = start_ns_; }
    bool IsBusy() const;
    void SetStuck(bool stuck) { stuck_ = stuck; }

  private:
    Clock& clock_;
    std::int64_t word_time_ns_;
    std::int64_t start_ns_ = 0;
    std::int64_t end_ns_ = 0;
    bool stuck_ = false;
};

}  // namespace vantu
