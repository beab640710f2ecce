// vantu_main_page_shot: draws the main page in the station's window frame over a
// simulated chassis that has run its control code for a while, and saves a picture.
// Usage: vantu_main_page_shot STATION_DIR OUTPUT.png
#include <QApplication>
#include <QTabWidget>

#include <cstdio>
#include <string>

#include "app/station_texts.h"
#include "base/settings.h"
#include "card/card_ops.h"
#include "pages/main_page.h"
#include "sim/chassis_model.h"
#include "sim/simulated_card_session.h"
#include "status/module_table.h"
#include "status/report_fields.h"
#include "status/status_decoder.h"
#include "widgets/qt_colour.h"

namespace vantu {
namespace {

constexpr int kWindowWidth = 1918;
constexpr int kWindowHeight = 1040;
// Seconds of simulated run before the picture: long enough to warm the antenna up.
constexpr int kRunSeconds = 30;
// A few faults, so the picture shows each kind of mark.
constexpr const char* kStuckFaults =
    "M040-E1-Q3-HOT, M041-E2-Q5-HOT, M090-E0-Q1-HOT, M100-E3-Q6-HOT, W27-B31, W5-B3";

class VirtualClock : public Clock {
  public:
    LocalTime Now() override { return {2026, 12, 5, 19, 46, 12}; }
    void SleepMs(int milliseconds) override { micros_ += 1000LL * milliseconds; }
    std::int64_t Microseconds() override { return micros_; }

  private:
    std::int64_t micros_ = 0;
};

class ConsoleOnlyPrompts : public Prompts {
  public:
    bool AskYesNo(const std::string&) override { return false; }

  protected:
    void ShowBox(PromptIcon, const std::string& text, const std::string&) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
};

class NoCommands : public CommandSink {
  public:
    int Send(int, std::intptr_t) override { return 0; }
    void Post(int, std::intptr_t) override {}
};

class NoColours : public ColourChooser {
  public:
    std::optional<Colour> Choose(Colour) override { return std::nullopt; }
};

// The report host copy after the simulated chassis ran its control code.
bool CaptureSimulatedReport(ReportMemory& report) {
    VirtualClock clock;
    SimulatedCardConfig config;
    config.clock = &clock;
    config.run_time_us = 3600LL * 1000 * 1000;
    const std::unique_ptr<SimulatedCardSession> session = OpenSimulatedCard(config);
    if (!session) {
        return false;
    }
    ChassisSettings settings;
    settings.seed = 7;
    settings.fault_rate = 0.0005;
    settings.stuck_faults = ParseStuckFaults(kStuckFaults);
    ChassisModel chassis(session->card(), clock, settings);
    EnableControlCode(session->handle());
    clock.SleepMs(kRunSeconds * 1000);
    chassis.Update();
    for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
        ReadReportBlock(session->handle(), report.sys_rpt_reg().data(), block);
    }
    RebuildDigitalIdTable(report);
    return true;
}

int Run(const std::string& station_dir, const QString& output) {
    ConsoleOnlyPrompts prompts;
    SharedSettings shared;
    StationSettings station;
    shared.settings_loaded = LoadSettings(station_dir, prompts, shared, station) == 0;

    MainPageModel model;
    model.pattern_list = station.pattern_list;
    model.pattern_selection = model.pattern_list.empty() ? -1 : 0;
    model.ref_line_colour = shared.ref_line_colour;
    model.run_button_enabled = true;
    model.running = true;

    ReportMemory report;
    if (!CaptureSimulatedReport(report)) {
        std::fprintf(stderr, "The simulated card did not open.\n");
        return 1;
    }
    ModuleTable table;
    BuildModuleTable(table);
    StatusDecoder decoder(table, report, shared);
    MainPageRefresh refresh(decoder, report, shared);

    NoCommands commands;
    NoColours colours;
    QTabWidget window;
    window.setWindowTitle(ToQString(kWindowTitle));
    auto* page = new CCPAGE2DLG({model, shared, commands, prompts, colours, {}});
    for (int tab = 0; tab < kTabCount; ++tab) {
        window.addTab(tab == kTabMain ? page : new QWidget,
                      ToQString(kTabTitles[static_cast<std::size_t>(tab)]));
    }
    window.resize(kWindowWidth, kWindowHeight);
    window.show();
    page->menu().legend_on->trigger();
    refresh.Refresh(page);
    QApplication::processEvents();
    if (!window.grab().save(output)) {
        std::fprintf(stderr, "Cannot write %s\n", output.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace vantu

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s STATION_DIR OUTPUT.png\n", argv[0]);
        return 2;
    }
    return vantu::Run(argv[1], QString::fromLocal8Bit(argv[2]));
}
