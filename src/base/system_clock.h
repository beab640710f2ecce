// The wall clock, blocking sleeps and a monotonic microsecond counter of the host.
#pragma once

#include "base/ports.h"

namespace vantu {

class SystemClock : public Clock {
  public:
    LocalTime Now() override;
    void SleepMs(int milliseconds) override;
    std::int64_t Microseconds() override;
    std::int64_t Nanoseconds() override;
};

}  // namespace vantu
