// Timing fidelity of the simulated chassis: a 1 MiB flash image programmed and
// verified through the station's flash layer against the sum of the chip's configured
// erase, program and transfer times; a 2048-word run against its configured run time;
// and one chassis model tick (a step plus the rewrite of the report memory) next to
// the station's decode of the whole antenna. Each fidelity figure is the ratio
// measured / configured.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/ports.h"
#include "card/card_ops.h"
#include "card/flash_image.h"
#include "sim/chassis_model.h"
#include "sim/simulated_card_session.h"
#include "status/cell_sink.h"
#include "status/status_decoder.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

// The station's defaults: the timings of simulation.ini without the file.
const vantu::ChassisSettings kStation;

void BM_FlashProgramVerify1MiB(benchmark::State& state) {
    const auto session = vantu::OpenSimulatedCard(vantu::CardConfigOf(kStation, nullptr));
    const std::string path =
        (std::filesystem::temp_directory_path() / "vantu_sim_timing.bin").string();
    {
        std::ofstream image(path, std::ios::binary | std::ios::trunc);
        for (std::uint32_t i = 0; i < (1u << 20); ++i) {
            image.put(static_cast<char>(i * 7 + (i >> 11)));
        }
    }
    // The layer's progress marks go to standard error; silenced while timing.
    const int saved_stderr = ::dup(2);
    const int null_fd = ::open("/dev/null", O_WRONLY);
    ::dup2(null_fd, 2);
    double measured = 0;
    int result = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        result |= vantu::ProgramFlashImage(path, 0);
        measured += Seconds(Clock::now() - start);
    }
    ::dup2(saved_stderr, 2);
    ::close(null_fd);
    ::close(saved_stderr);
    std::filesystem::remove(path);
    vantu::SimulatedCard& card = session->card();
    const auto& counters = card.flash().counters();
    const double configured =
        (static_cast<double>(counters.sector_erases) * static_cast<double>(kStation.erase_busy_us) +
         static_cast<double>(counters.page_programs) *
             static_cast<double>(kStation.program_busy_us)) /
            1e6 +
        static_cast<double>(card.spi().transferred_bits()) /
            static_cast<double>(kStation.spi_clock_hz);
    const double runs = static_cast<double>(state.iterations());
    state.counters["measured_s"] = measured / runs;
    state.counters["configured_s"] = configured / runs;
    state.counters["ratio"] = measured / configured;
    state.counters["failed"] = result;
}
BENCHMARK(BM_FlashProgramVerify1MiB)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Run2048Words(benchmark::State& state) {
    const auto session = vantu::OpenSimulatedCard(vantu::CardConfigOf(kStation, nullptr));
    for (std::uint32_t i = 0; i < vantu::kControlCodeWords; ++i) {
        vantu::WriteCardRegister(session->handle(), vantu::kControlCodeMemory + 4 * i, i + 1);
    }
    double measured = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        vantu::EnableControlCode(session->handle());
        while (vantu::IsControlCodeBusy(session->handle())) {
        }
        measured += Seconds(Clock::now() - start);
    }
    const double configured = vantu::kControlCodeWords * kStation.word_time_us / 1e6;
    state.counters["measured_s"] = measured / static_cast<double>(state.iterations());
    state.counters["configured_s"] = configured;
    state.counters["ratio"] = measured / static_cast<double>(state.iterations()) / configured;
}
BENCHMARK(BM_Run2048Words)->Iterations(1)->Unit(benchmark::kMillisecond);

// A clock the benchmark moves one model step per tick.
class StepClock : public vantu::Clock {
  public:
    vantu::LocalTime Now() override { return {}; }
    void SleepMs(int) override {}
    std::int64_t Microseconds() override { return micros; }
    std::int64_t micros = 0;
};

// Every tick takes one model step, the worst case of a 200 ms report poll.
void BM_ChassisModelTick(benchmark::State& state) {
    StepClock clock;
    vantu::SimulatedCard card({.clock = &clock});
    vantu::ChassisSettings settings;
    settings.fault_rate = 0.001;
    vantu::ChassisModel model(card, clock, settings);
    const auto start = Clock::now();
    for (auto _ : state) {
        clock.micros += vantu::ChassisModel::kStepUs;
        model.Update();
    }
    constexpr double kReportPeriodS = 0.2;
    state.counters["percent_of_200ms"] = 100 * Seconds(Clock::now() - start) /
                                         static_cast<double>(state.iterations()) / kReportPeriodS;
}
BENCHMARK(BM_ChassisModelTick)->Unit(benchmark::kMicrosecond);

void BM_DecodeWholeAntenna(benchmark::State& state) {
    StepClock clock;
    vantu::SimulatedCard card({.clock = &clock});
    vantu::ChassisModel model(card, clock, {});
    vantu::ReportMemory report;
    for (std::uint32_t i = 0; i < vantu::kReportWords; ++i) {
        report.sys_rpt_reg()[i] = card.ReportWord(i);
    }
    vantu::ModuleTable table;
    vantu::BuildModuleTable(table);
    const vantu::SharedSettings shared;
    vantu::StatusDecoder decoder(table, report, shared);
    vantu::CountingSink sink;
    for (auto _ : state) {
        benchmark::DoNotOptimize(decoder.DecodeAntenna(vantu::kViewSummary, &sink));
    }
}
BENCHMARK(BM_DecodeWholeAntenna)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
