// Run times of the remote command lines, in the buckets the metrics endpoint serves.
#pragma once

#include <array>
#include <cstdint>

namespace vantu {

struct LatencyHistogram {
    // Upper bounds in seconds: a status query takes well under a millisecond, a
    // pattern load or a sweep seconds.
    static constexpr std::array<double, 10> kBounds = {0.0005, 0.001, 0.005, 0.01, 0.05,
                                                       0.1,    0.5,   1.0,   5.0,  10.0};
    std::array<std::uint64_t, kBounds.size()> buckets{};  // per bucket, not cumulative
    std::uint64_t count = 0;
    double sum_seconds = 0;

    void Observe(double seconds);
};

}  // namespace vantu
