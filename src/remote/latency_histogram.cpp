#include "remote/latency_histogram.h"

#include <algorithm>

namespace vantu {

void LatencyHistogram::Observe(double seconds) {
    const auto bucket = std::lower_bound(kBounds.begin(), kBounds.end(), seconds);
    if (bucket != kBounds.end()) {
        ++buckets[static_cast<std::size_t>(bucket - kBounds.begin())];
    }
    ++count;
    sum_seconds += seconds;
}

}  // namespace vantu
