// The report tick as `vantu --simulate` runs it (the chassis model animating the
// report memory as it is read), one full cycle of 14 polls, with and without the
// fault history and temperature trends recording. The two alternate within each
// iteration, so both see the same machine load and the same chassis model work; the
// recording is meant to cost at most a fifth of the cycle.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdio>

#include "base/log_files.h"
#include "quiet_chassis.h"
#include "status/report_capture.h"
#include "status/report_watch.h"

namespace {

using namespace vantu;

struct Station : bench::QuietChassis {
    Station() : logs("/nonexistent", clock), watch(report, clock, &logs) { model->AttachToReads(); }

    void Cycle(bool recording) {
        for (std::uint32_t poll = 0; poll < kReportBlockCount; ++poll) {
            const ReportPoll result =
                FastReportRefresh(session->handle(), report, block, flags, timers, logs);
            if (recording) {
                watch.Polled(result, block == 0);
            }
        }
    }

    ReportMemory report;
    bench::NullTimers timers;
    ControllerFlags flags;
    LogFiles logs;
    ReportWatch watch;
    std::uint32_t block = 0;
};

// This thread's CPU time: the build machine is shared, so wall time carries other load.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double g_ratio = 0;

void BM_ReportCycleWithAndWithoutRecording(benchmark::State& state) {
    Station station;
    const std::size_t before = station.watch.history().entries().size();
    double plain = 0;
    double recorded = 0;
    for (auto _ : state) {
        const double start = CpuSeconds();
        station.Cycle(false);
        const double middle = CpuSeconds();
        station.Cycle(true);
        plain += middle - start;
        recorded += CpuSeconds() - middle;
        benchmark::ClobberMemory();
    }
    const auto cycles = static_cast<double>(state.iterations());
    state.counters["plain_us"] = plain / cycles * 1e6;
    state.counters["recorded_us"] = recorded / cycles * 1e6;
    state.counters["transitions_per_cycle"] =
        static_cast<double>(station.watch.history().entries().size() - before) / cycles;
    g_ratio = recorded / plain;
}
BENCHMARK(BM_ReportCycleWithAndWithoutRecording)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_ratio > 0) {
        std::printf("ratio recorded cycle / plain cycle = %.3f (target at most 1.2)%s\n", g_ratio,
                    g_ratio <= 1.2 ? "" : "  MISSED");
    }
    return 0;
}
