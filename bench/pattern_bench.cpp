// A full 2048-word pattern load on the simulated card, its 2048 op_code.log lines
// included, next to the bare cost of opening, appending and closing 2048 lines of the
// same length. The load should stay within 1.3 times the bare appends.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/log_files.h"
#include "base/system_clock.h"
#include "cpu_time_reporter.h"
#include "model/main_page_model.h"
#include "pattern/opcode_listing.h"
#include "pattern/opcode_table.h"
#include "pattern/pattern_file.h"
#include "pattern/pattern_loader.h"
#include "sim/simulated_card_session.h"

namespace vantu {
namespace {

class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vantu-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// The loader is asked for no boxes; nothing should reach here.
class SilentPrompts : public Prompts {
  public:
    bool AskYesNo(const std::string&) override { return false; }

  protected:
    void ShowBox(PromptIcon, const std::string&, const std::string&) override {}
};

std::vector<std::uint32_t> FullPatternWords() {
    std::vector<std::uint32_t> words(kMaxPatternWords);
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = static_cast<std::uint32_t>(0x9E3779B9u * (i + 1));
    }
    return words;
}

void BM_LoadFullPattern(benchmark::State& state) {
    ScratchDir dir;
    SystemClock clock;
    LogFiles logs(dir.path(), clock);
    SilentPrompts prompts;
    OpCodeTable table;
    MainPageModel main_page;
    PatternLoader loader(table, logs, prompts, main_page);
    auto sim = OpenSimulatedCard();
    const std::string path = dir.path() + "/full.cfg";
    std::ofstream(path, std::ios::binary) << EncodePattern(kControlCodeMemory, FullPatternWords());

    for (auto _ : state) {
        if (loader.LoadPattern(sim->handle(), path, false) != 0) {
            state.SkipWithError("load failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kMaxPatternWords));
}
BENCHMARK(BM_LoadFullPattern)->Unit(benchmark::kMillisecond);

void BM_AppendLinesBaseline(benchmark::State& state) {
    ScratchDir dir;
    const std::vector<std::uint32_t> words = FullPatternWords();
    // The prefix the log gives each line today, so the lines have the same length.
    SystemClock clock;
    const LocalTime now = clock.Now();
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%s  %02d:%02d:%02d,", DateText(now).c_str(), now.hour,
                  now.minute, now.second);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const OpCodeEntry entry{static_cast<std::uint16_t>((kControlCodeMemory + 4 * i) & 0xFFFF),
                                words[i]};
        lines.push_back(prefix + OpCodeListingLine(i, entry) + "\n");
    }
    const std::string path = dir.path() + "/op_code.log";

    for (auto _ : state) {
        bool first = true;
        for (const std::string& line : lines) {
            const int fd =
                ::open(path.c_str(),
                       O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (first ? O_TRUNC : 0), 0644);
            benchmark::DoNotOptimize(::write(fd, line.data(), line.size()));
            ::close(fd);
            first = false;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}
BENCHMARK(BM_AppendLinesBaseline)->Unit(benchmark::kMillisecond);

class RatioReporter : public CpuTimeReporter {
    void PrintRatios() override {
        const double bare = Time("BM_AppendLinesBaseline");
        if (bare > 0 && Time("BM_LoadFullPattern") > 0) {
            std::printf("ratio load / bare appends = %.2f (at most 1.3)\n",
                        Time("BM_LoadFullPattern") / bare);
        }
    }
};

}  // namespace
}  // namespace vantu

int main(int argc, char** argv) {
    vantu::RatioReporter reporter;
    RunWithRatios(argc, argv, reporter);
    return 0;
}
