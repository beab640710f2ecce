#include "card/card_timing.h"

#include <chrono>

namespace vantu {
namespace {

using Counter = std::chrono::steady_clock;

Counter::time_point stopwatch_start = Counter::now();

double MicrosecondsSince(Counter::time_point start) {
    return std::chrono::duration<double, std::micro>(Counter::now() - start).count();
}

}  // namespace

std::int64_t DelayMicroseconds(double microseconds) {
    if (microseconds <= 0) {
        return 0;
    }
    const Counter::time_point start = Counter::now();
    std::int64_t polls = 0;
    do {
        ++polls;
    } while (MicrosecondsSince(start) < microseconds);
    return polls;
}

void StartStopwatch() {
    stopwatch_start = Counter::now();
}

double ReadStopwatch() {
    return MicrosecondsSince(stopwatch_start);
}

}  // namespace vantu
