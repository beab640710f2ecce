// Microsecond timing of the card layer on the host's monotonic high-resolution counter.
#pragma once

#include <cstdint>

namespace vantu {

// Busy-waits until the microseconds have passed; gives the number of counter polls
// (0 for a request of 0 or less).
std::int64_t DelayMicroseconds(double microseconds);

void StartStopwatch();
// Microseconds since the last StartStopwatch.
double ReadStopwatch();

}  // namespace vantu
