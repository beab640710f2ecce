// Report capture and status decoding, each next to the bare work it wraps: a timer-0
// tick against 256 volatile reads of the same report words, and a decode of all 161
// modules into a counting sink against a plain pass over the same report fields. The
// ratios of each pair are printed after the run.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "base/log_files.h"
#include "base/system_clock.h"
#include "card/card_ops.h"
#include "cpu_time_reporter.h"
#include "quiet_chassis.h"
#include "status/report_capture.h"
#include "status/report_fields.h"
#include "status/status_decoder.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

// Out of line, so the compiler never pairs an inlined free with this allocation.
__attribute__((noinline)) void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept {
    std::free(p);
}
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace vantu;

using bench::NullTimers;

// The quiet chassis with its report read once.
struct Chassis : bench::QuietChassis {
    Chassis() {
        for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
            ReadReportBlock(session->handle(), report.sys_rpt_reg().data(), block);
        }
        RebuildDigitalIdTable(report);
    }

    ReportMemory report;
};

Chassis& TheChassis() {
    static Chassis chassis;
    return chassis;
}

void BM_TimerTick(benchmark::State& state) {
    Chassis& chassis = TheChassis();
    NullTimers timers;
    SystemClock clock;
    LogFiles logs("/nonexistent", clock);
    ControllerFlags flags;
    std::uint32_t counter = 0;
    const long before = g_allocations.load();
    for (auto _ : state) {
        FastReportRefresh(chassis.session->handle(), chassis.report, counter, flags, timers, logs);
        benchmark::ClobberMemory();
    }
    state.counters["allocs_per_tick"] = static_cast<double>(g_allocations.load() - before) /
                                        static_cast<double>(state.iterations());
}
BENCHMARK(BM_TimerTick);

// The tick as `vantu --simulate` runs it: the chassis model refreshes the report
// memory when the block's first word is read. For information; not one of the pairs.
void BM_TimerTickWithChassisModel(benchmark::State& state) {
    Chassis& chassis = TheChassis();
    chassis.model->AttachToReads();
    NullTimers timers;
    SystemClock clock;
    LogFiles logs("/nonexistent", clock);
    ControllerFlags flags;
    std::uint32_t counter = 0;
    for (auto _ : state) {
        FastReportRefresh(chassis.session->handle(), chassis.report, counter, flags, timers, logs);
        benchmark::ClobberMemory();
    }
    chassis.session->card().SetReportReadHook(nullptr);
}
BENCHMARK(BM_TimerTickWithChassisModel);

// The same words the tick reads, in a 64 KiB BAR image of the card, read raw.
void BM_RawVolatileReads256(benchmark::State& state) {
    Chassis& chassis = TheChassis();
    std::vector<std::uint32_t> bar(SimulatedCard::kWindowBytes / 4);
    for (std::uint32_t i = 0; i < kReportWords; ++i) {
        bar[kReportMemory / 4 + i] = chassis.session->card().ReportWord(i);
    }
    std::vector<std::uint32_t> host(kReportWords);
    std::uint32_t block = 0;
    for (auto _ : state) {
        const volatile std::uint32_t* words =
            bar.data() + (kReportMemory + block * kReportBlockBytes) / 4;
        std::uint32_t* out = host.data() + block * kReportBlockWords;
        for (std::uint32_t i = 0; i < kReportBlockWords; ++i) {
            out[i] = words[i];
        }
        block = (block + 1) % kReportBlockCount;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RawVolatileReads256);

// The tick's own work beside the block read.
void BM_DigitalIdRebuild(benchmark::State& state) {
    Chassis& chassis = TheChassis();
    for (auto _ : state) {
        RebuildDigitalIdTable(chassis.report);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DigitalIdRebuild);

QFieldArray ArrayOfView(int view) {
    switch (view) {
        case kViewQdxa:
            return QFieldArray::kQdxaSts;
        case kViewTxRx:
            return QFieldArray::kTrmTxRx;
        case kViewVoltage:
            return QFieldArray::kTrmPwr;
        case kViewTemperature:
            return QFieldArray::kTrmTemp;
        case kViewSummary:
            return QFieldArray::kTrmSts;
        default:
            return QFieldArray::kDigitalId;
    }
}

SharedSettings ColourTable() {
    SharedSettings shared;
    const char* labels[] = {">74",   "70-74", "65-69", "60-64", "55-59", "50-54",
                            "45-49", "40-44", "35-39", "30-34", "25-29", "20-24",
                            "15-19", "10-14", "5-9",   "<5",    "NULL"};
    for (std::size_t i = 0; i < shared.temp_colours.size(); ++i) {
        shared.temp_colours[i] = {labels[i], static_cast<Colour>(i * 0x0F0F0F)};
    }
    shared.temp_masks.fill(0xFFFFFFFF);
    return shared;
}

void BM_PlainPass(benchmark::State& state) {
    Chassis& chassis = TheChassis();
    ModuleTable table;
    BuildModuleTable(table);
    const QFieldArray array = ArrayOfView(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (const ModuleRecord& record : table.records) {
            for (int q = 0; q < kQChannels; ++q) {
                sum += ReadQField(chassis.report, array, record.column, record.index, q);
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}

void BM_DecodeAntenna(benchmark::State& state) {
    Chassis& chassis = TheChassis();
    ModuleTable table;
    BuildModuleTable(table);
    const SharedSettings shared = ColourTable();
    StatusDecoder decoder(table, chassis.report, shared);
    CountingSink sink;
    for (auto _ : state) {
        decoder.DecodeAntenna(static_cast<int>(state.range(0)), &sink);
    }
    state.counters["cells"] = static_cast<double>(sink.cells) / state.iterations();
}

void BM_DecodeModuleViews(benchmark::State& state) {
    Chassis& chassis = TheChassis();
    ModuleTable table;
    BuildModuleTable(table);
    const SharedSettings shared = ColourTable();
    StatusDecoder decoder(table, chassis.report, shared);
    CountingSink grid;
    CountingSink positions;
    const ModuleViewDisplay display{&grid, &positions, false, false};
    const int view = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (int module = 0; module < kModuleCount; ++module) {
            decoder.DecodeModuleView(module, view, 5 * (module % 7) + 1, 2, &display);
        }
    }
    state.counters["cells"] = static_cast<double>(grid.cells) / state.iterations();
}

constexpr int kViews[] = {kViewQdxa,        kViewTxRx,    kViewVoltage,
                          kViewTemperature, kViewSummary, kViewDigitalId};

void ViewArgs(benchmark::internal::Benchmark* bench) {
    for (int view : kViews) {
        bench->Arg(view);
    }
}
BENCHMARK(BM_PlainPass)->Apply(ViewArgs);
BENCHMARK(BM_DecodeAntenna)->Apply(ViewArgs);
BENCHMARK(BM_DecodeModuleViews)->Apply(ViewArgs);

// Prints each pair's ratio once every benchmark has run.
class RatioReporter : public CpuTimeReporter {
    void PrintRatios() override {
        std::vector<std::pair<std::string, std::string>> pairs = {
            {"BM_TimerTick", "BM_RawVolatileReads256"}};
        for (int view : kViews) {
            const std::string arg = "/" + std::to_string(view);
            pairs.emplace_back("BM_DecodeAntenna" + arg, "BM_PlainPass" + arg);
            pairs.emplace_back("BM_DecodeModuleViews" + arg, "BM_PlainPass" + arg);
        }
        for (const auto& [work, bare] : pairs) {
            if (Time(work) > 0 && Time(bare) > 0) {
                std::printf("ratio %-26s / %-24s = %6.2f\n", work.c_str(), bare.c_str(),
                            Time(work) / Time(bare));
            }
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    RunWithRatios(argc, argv, reporter);
    return 0;
}
