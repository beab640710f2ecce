// Bounds on what metrics clients may ask and hold: the size of one request, the rate of
// requests per client address, the connections open at once and their time, so neither a
// runaway scraper nor a flood of idle connections can take the GUI thread or the
// descriptors the logs need.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace vantu {

inline constexpr std::size_t kMaxMetricsRequestBytes = 8192;

struct MetricsLimits {
    int max_connections = 16;
    // From accept to the last byte of the response taken by the client.
    int connection_ms = 10'000;
    // A response the client has not taken, beyond the system's buffers.
    std::size_t max_unsent_bytes = std::size_t{4} << 20;
    // Descriptors left free for the logs, pattern files and the remote client: a
    // connection that would use one of them is closed at once.
    int descriptor_reserve = 64;
};

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

// One RequestRate per client address, so one looping client is refused and the other
// scrapers are not. The table is emptied when it holds more addresses than a station
// has scrapers, which only a flood of addresses causes.
class ClientRates {
  public:
    static constexpr std::size_t kMaxClients = 1024;

    bool Admit(const std::string& client, std::int64_t now_us);

  private:
    std::unordered_map<std::string, RequestRate> rates_;
};

}  // namespace vantu
