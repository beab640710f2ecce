// The status pages' refreshes next to the main page's timer-1 refresh, in one run:
// the TRM page's refresh of all 28 column halves (161 modules decoded into its grids)
// and the antenna page's timer-2 refresh of its 19 lists. Each runs with (/1) and
// without (/0) the repaint the event loop then makes of what changed on a shown page;
// the repaint is mostly pixel filling, so it weighs by the area each refresh changes.
// The ratios to the main page refresh are printed after the run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <cstdint>
#include <cstdio>
#include <string>

#include "controller/controller_commands.h"
#include "cpu_time_reporter.h"
#include "pages/antenna_status_page_view.h"
#include "pages/main_page_view.h"
#include "pages/module_status_page_view.h"
#include "status/module_requests.h"
#include "status/status_decoder.h"

namespace vantu {
namespace {

// Report words scattered over every field value; each pass flips a bit of every
// nibble, so every decoded cell changes.
struct Antenna {
    Antenna() {
        BuildModuleTable(table);
        for (int i = 0; i < kTempColourCount; ++i) {
            shared.temp_colours[static_cast<std::size_t>(i)] = {"", Rgb(15 * i, 255 - 15 * i, 80)};
        }
        shared.temp_masks.fill(0xFFFFFFFF);
        shared.display_mode = kViewTemperature;
        std::uint32_t seed = 12345;
        for (std::uint32_t& word : report.sys_rpt_reg()) {
            seed = seed * 1664525u + 1013904223u;
            word = seed;
        }
        // As after a whole poll cycle: the main page draws only blocks read from the card.
        for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
            report.MarkCaptured(block);
        }
    }
    void Flip() {
        for (std::uint32_t& word : report.sys_rpt_reg()) {
            word ^= 0x88888888u;
        }
    }

    ModuleTable table;
    ReportMemory report;
    SharedSettings shared;
    StatusDecoder decoder{table, report, shared};
};

void Show(QWidget& page) {
    page.resize(page.minimumSize());
    page.show();
    QApplication::processEvents();
}

// The repaint of the widgets the refresh changed, when the benchmark's argument asks
// for it.
void Repaint(const benchmark::State& state) {
    if (state.range(0) != 0) {
        QApplication::processEvents();
    }
}

// The controller's handling of code 10; everything else is not asked for here.
class DecodingSink : public CommandSink {
  public:
    explicit DecodingSink(StatusDecoder& decoder) : decoder_(decoder) {}
    int Send(int code, std::intptr_t argument) override {
        if (code == kCodeModuleRequest) {
            ApplyModuleViewRequest(decoder_, *reinterpret_cast<const ModuleViewRequest*>(argument));
        }
        return 0;
    }
    void Post(int code, std::intptr_t argument) override { Send(code, argument); }

  private:
    StatusDecoder& decoder_;
};

class YesPrompts : public Prompts {
  public:
    bool AskYesNo(const std::string&) override { return true; }

  protected:
    void ShowBox(PromptIcon, const std::string&, const std::string&) override {}
};

class NoColours : public ColourChooser {
  public:
    std::optional<Colour> Choose(Colour) override { return std::nullopt; }
};

void BM_MainPageRefresh(benchmark::State& state) {
    Antenna antenna;
    MainPageModel model;
    DecodingSink commands(antenna.decoder);
    YesPrompts prompts;
    NoColours colours;
    CCPAGE2DLG page({model, antenna.shared, commands, prompts, colours, {}});
    Show(page);
    MainPageRefresh refresh(antenna.decoder, antenna.report, antenna.shared);
    for (auto _ : state) {
        antenna.Flip();
        refresh.Refresh(&page);
        Repaint(state);
    }
}
BENCHMARK(BM_MainPageRefresh)->ArgName("repaint")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TrmPageRefreshAll(benchmark::State& state) {
    Antenna antenna;
    DecodingSink commands(antenna.decoder);
    YesPrompts prompts;
    ModuleStatusPage model(ModulePageKind::kTrm, commands, prompts);
    CCPAGE1DLG page(model);
    Show(page);
    model.ChooseView(1);
    model.ShowFace(PositionFace::kStatus);
    for (auto _ : state) {
        antenna.Flip();
        model.AskRefreshAll();
        page.SyncFromModel();
        Repaint(state);
    }
}
BENCHMARK(BM_TrmPageRefreshAll)->ArgName("repaint")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_AntennaPageRefresh(benchmark::State& state) {
    Antenna antenna;
    AntennaStatusPage model;
    CCPAGE3DLG page(model);
    Show(page);
    for (auto _ : state) {
        antenna.Flip();
        model.Refresh(antenna.report.reg_sts());
        page.SyncFromModel();
        Repaint(state);
    }
}
BENCHMARK(BM_AntennaPageRefresh)->ArgName("repaint")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

class RatioReporter : public CpuTimeReporter {
    void PrintRatios() override {
        for (const char* repaint : {"/repaint:0", "/repaint:1"}) {
            const double main = Time(std::string("BM_MainPageRefresh") + repaint);
            for (const auto& [name, target] :
                 {std::pair<std::string, double>{"BM_TrmPageRefreshAll", 3.0},
                  std::pair<std::string, double>{"BM_AntennaPageRefresh", 1.0}}) {
                const std::string run = name + repaint;
                if (main > 0 && Time(run) > 0) {
                    const double ratio = Time(run) / main;
                    std::printf(
                        "ratio %-32s / BM_MainPageRefresh%s = %5.2f (target at most %.0f)%s\n",
                        run.c_str(), repaint, ratio, target, ratio <= target ? "" : "  MISSED");
                }
            }
        }
    }
};

}  // namespace
}  // namespace vantu

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    vantu::RatioReporter reporter;
    RunWithRatios(argc, argv, reporter);
    return 0;
}
