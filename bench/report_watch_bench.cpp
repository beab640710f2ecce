// The report tick as `vantu --simulate` runs it (the chassis model animating the
// report memory as it is read), one full cycle of 14 polls per iteration, with and
// without the fault history and temperature trends recording. Their ratio is printed
// after the run; the recording is meant to cost at most a fifth of the cycle.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "base/log_files.h"
#include "cpu_time_reporter.h"
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

Station& TheStation() {
    static Station station;
    return station;
}

void BM_ReportCycle(benchmark::State& state) {
    Station& station = TheStation();
    for (auto _ : state) {
        station.Cycle(false);
        benchmark::ClobberMemory();
    }
}

void BM_ReportCycleRecorded(benchmark::State& state) {
    Station& station = TheStation();
    const std::size_t before = station.watch.history().entries().size();
    for (auto _ : state) {
        station.Cycle(true);
        benchmark::ClobberMemory();
    }
    state.counters["transitions_per_cycle"] =
        static_cast<double>(station.watch.history().entries().size() - before) /
        static_cast<double>(state.iterations());
}

// Alternating, so both see the same machine load.
BENCHMARK(BM_ReportCycle)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReportCycleRecorded)->Repetitions(5)->ReportAggregatesOnly(true);

class RatioReporter : public CpuTimeReporter {
    void PrintRatios() override {
        const double plain = Time("BM_ReportCycle");
        const double recorded = Time("BM_ReportCycleRecorded");
        if (plain > 0 && recorded > 0) {
            std::printf("ratio BM_ReportCycleRecorded / BM_ReportCycle = %.3f\n", recorded / plain);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
