// Bounds on what a metrics client may ask: the size of one request and the rate of
// requests, so a runaway scraper cannot take the GUI thread from the operator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantu {

inline constexpr std::size_t kMaxMetricsRequestBytes = 8192;

// A token bucket: a burst of kBurst requests, refilled at kPerSecond. Kept in whole
// microseconds of refill time so that the arithmetic is exact.
class RequestRate {
  public:
    static constexpr std::int64_t kBurst = 10;
    static constexpr std::int64_t kPerSecond = 5;

    // True when a request at now_us (a monotonic microsecond count) may be served.
    bool Admit(std::int64_t now_us);

  private:
    static constexpr std::int64_t kCostUs = 1'000'000 / kPerSecond;

    std::int64_t credit_us_ = kBurst * kCostUs;
    std::int64_t last_us_ = -1;
};

}  // namespace vantu
