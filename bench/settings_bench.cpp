// LoadSettings on a setup.ini with n pattern list keys (the example station's file with
// SET_MAX_CNT = n): the time per key should not grow with n (Complexity reports O(N)).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/settings.h"

namespace vantu {
namespace {

class SilentPrompts : public Prompts {
  public:
    bool AskYesNo(const std::string&) override { return false; }

  protected:
    void ShowBox(PromptIcon, const std::string&, const std::string&) override {}
};

std::string WriteStation(int keys) {
    std::string dir = (std::filesystem::temp_directory_path() / "vantu-bench-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) {
        std::abort();
    }
    std::ofstream ini(dir + "/setup.ini", std::ios::binary);
    ini << "[SP_PATTERN]\r\nSET_MAX_CNT=" << keys << "\r\n";
    for (int k = 1; k <= keys; ++k) {
        ini << "PAT_FILE_" << k << "=beam_" << k << ".cfg\r\n";
    }
    ini << "[TEMP_COLOR]\r\n";
    for (int i = 0; i < kTempColourCount; ++i) {
        ini << TempColourKey(i) << "= 0x" << i << "\r\n";
    }
    ini << "[REF_LINE_COLOR]\r\nREF_LINE_CLR= 0xff\r\n[SHOW_TRM_TEMP]\r\n";
    for (int m = 0; m < kModuleCount; ++m) {
        ini << MaskKey(m) << "=FF-FF-FF-FF\r\n";
    }
    return dir;
}

void BM_LoadSettings(benchmark::State& state) {
    const std::string dir = WriteStation(static_cast<int>(state.range(0)));
    SilentPrompts prompts;
    for (auto _ : state) {
        SharedSettings shared;
        StationSettings station;
        if (LoadSettings(dir, prompts, shared, station) != 0) {
            state.SkipWithError("setup.ini did not load");
        }
        benchmark::DoNotOptimize(station.pattern_list.data());
    }
    state.SetComplexityN(state.range(0));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadSettings)
    ->RangeMultiplier(4)
    ->Range(2500, 40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace vantu

BENCHMARK_MAIN();
