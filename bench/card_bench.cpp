// Card access on the simulated card: a report block poll, a control code load and a
// flash image program-and-verify.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "card/card_ops.h"
#include "card/flash_image.h"
#include "sim/simulated_card_session.h"

namespace {

void BM_ReadReportBlock(benchmark::State& state) {
    const auto session = vantu::OpenSimulatedCard();
    std::vector<std::uint32_t> report(3584);
    std::uint32_t block = 0;
    for (auto _ : state) {
        vantu::ReadReportBlock(session->handle(), report.data(), block++);
        benchmark::DoNotOptimize(report.data());
    }
    state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_ReadReportBlock);

void BM_WriteControlCode2048Words(benchmark::State& state) {
    const auto session = vantu::OpenSimulatedCard();
    for (auto _ : state) {
        for (std::uint32_t i = 0; i < 2048; ++i) {
            vantu::WriteCardRegister(session->handle(), 0xC000 + i * 4, i);
        }
    }
    state.SetItemsProcessed(state.iterations() * 2048);
}
BENCHMARK(BM_WriteControlCode2048Words);

// The flash layer's progress marks go to standard error; they are silenced while timing.
void BM_FlashProgramAndVerify1MiB(benchmark::State& state) {
    const auto session = vantu::OpenSimulatedCard();
    const std::string path =
        (std::filesystem::temp_directory_path() / "vantu_card_bench.bin").string();
    {
        std::ofstream image(path, std::ios::binary | std::ios::trunc);
        for (std::uint32_t i = 0; i < (1u << 20); ++i) {
            image.put(static_cast<char>(i * 13 + (i >> 9)));
        }
    }
    const int saved_stderr = ::dup(2);
    const int null_fd = ::open("/dev/null", O_WRONLY);
    ::dup2(null_fd, 2);
    int result = 0;
    for (auto _ : state) {
        result |= vantu::ProgramFlashImage(path, 0);
    }
    ::dup2(saved_stderr, 2);
    ::close(null_fd);
    ::close(saved_stderr);
    std::filesystem::remove(path);
    if (result != 0) {
        state.SkipWithError("verify errors");
    }
    state.SetBytesProcessed(state.iterations() * (1 << 20));
}
BENCHMARK(BM_FlashProgramAndVerify1MiB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
