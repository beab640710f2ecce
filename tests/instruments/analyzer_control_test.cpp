// The analyzer group headless on the in-process analyzer: the trigger thread, the
// station shutdown steps, the settings dialog's text path and its button texts.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "instrument_station.h"
#include "instruments/settings_dialog_text.h"

namespace vantu::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(AnalyzerControlTest, TriggerThreadStopsTheControlCodeWithoutPulseTrigger) {
    // With the pulse trigger the measurement goes on; without, it stops the code once.
    for (const bool pulse : {true, false}) {
        SCOPED_TRACE(pulse);
        InstrumentStation station;
        station.analyzer.set_pulse_trigger(pulse);
        AnalyzerControl& analyzer = station.page.analyzer();
        analyzer.ClickMeasure();
        EXPECT_FALSE(station.page.state().analyzer.reset_enabled);
        analyzer.JoinTriggerThread();
        // Nothing changes until the GUI thread runs what the thread posted.
        EXPECT_EQ(station.control_code_stops, 0);
        station.poster.Drain();
        EXPECT_EQ(station.control_code_stops, pulse ? 0 : 1);
        EXPECT_EQ(analyzer.trigger_active(), pulse);
        EXPECT_EQ(station.timers.IsRunning(kTriggerRefreshTimer), pulse);
        EXPECT_EQ(station.analyzer.view().trigger_measuring, pulse);
        EXPECT_EQ(station.shared.analyzer_flags[kSharedTriggerMeasurement], pulse);
        EXPECT_EQ(station.page.state().analyzer.measure_caption, pulse ? "停止" : "量測");
    }
}

// An analysis software that stops answering once the measurement runs: a marker read
// waits until the test lets it time out.
class SilencedAnalyzer : public SimulatedAnalyzer {
  public:
    using SimulatedAnalyzer::SimulatedAnalyzer;
    int GetTraceCount() override {
        ++reads;
        reader = std::this_thread::get_id();
        timed_out.wait();
        return kTraceCountFailed;
    }
    std::atomic<int> reads{0};
    std::thread::id reader;
    std::promise<void> time_out;
    std::shared_future<void> timed_out = time_out.get_future().share();
};

TEST(AnalyzerControlTest, SilentSoftwareStopsTheMeasurementAtItsFirstTimeOut) {
    TempDir logs;
    SilencedAnalyzer link(logs.path());
    InstrumentStation station(nullptr, &link);
    AnalyzerControl& analyzer = station.page.analyzer();
    analyzer.ClickMeasure();
    analyzer.JoinTriggerThread();
    station.analyzer_page.tcp_messages.Clear();
    // Three ticks while the first read waits: one read, never on this thread.
    station.timers.Advance(1500);
    link.time_out.set_value();
    analyzer.JoinTriggerThread();
    EXPECT_EQ(link.reads, 1);
    EXPECT_NE(link.reader, std::this_thread::get_id());
    station.poster.Drain();
    // What a stop leaves behind is the trigger thread's test; the stop is listed.
    EXPECT_EQ(station.analyzer_page.tcp_messages.lines()[1], "[GUI] 軟體 : 停止觸發量測功能");
}

TEST(AnalyzerControlTest, MeasureRefusedWithoutExternalTrigger) {
    InstrumentStation station;
    station.analyzer.set_external_trigger(false);
    station.page.analyzer().ClickMeasure();
    EXPECT_FALSE(station.page.analyzer().trigger_active());
    EXPECT_FALSE(station.timers.IsRunning(kTriggerRefreshTimer));
    EXPECT_EQ(station.analyzer_page.tcp_messages.lines(),
              (Lines{"[89600] 量測 : 初始化中...", "[89600] 軟體 : 尚未設定外部觸發",
                     "[89600] 軟體 : 無法讀取量測值"}));
}

TEST(AnalyzerControlTest, ShutdownStopsTriggerThenRfThenAsksAboutTheSoftware) {
    for (const bool answer : {true, false}) {
        InstrumentStation station;
        AnalyzerPageLifecycle& page = station.page;
        page.analyzer().StartAnalyzer();
        ASSERT_TRUE(station.shared.vsa_open);
        ASSERT_EQ(page.generator().OpenCloseGenerator(1), 0);
        ASSERT_EQ(page.generator().SwitchRfOutput(1), 0);
        page.analyzer().ClickMeasure();
        page.analyzer().JoinTriggerThread();
        if (!answer) {
            // Closed with RF on, the generator is reached again at exit to switch it off.
            ASSERT_EQ(page.generator().OpenCloseGenerator(0), 0);
        }
        station.timeline.Take();
        station.clock.sleeps.clear();
        station.prompts.answers = {answer};
        station.timers.Start(kLaunchTimer, 1000);

        page.Shutdown();
        EXPECT_EQ(station.timeline.Take(), (Lines{"L [GUI][Exit] 關閉 觸發量測功能", kL26,
                                                  "L [GUI][Exit] 關閉 VSG 輻射功能", kL26}));
        EXPECT_FALSE(station.analyzer.view().trigger_measuring);
        EXPECT_FALSE(station.generator.Boolean(kAttrRfOutputEnabled));
        EXPECT_FALSE(station.generator.is_open());
        EXPECT_EQ(station.clock.sleeps, (std::vector<int>{500, 200}));
        EXPECT_EQ(station.prompts.shown.size(), 1u);
        for (int timer : {kLaunchTimer, kPlaceTimer, kTriggerRefreshTimer}) {
            EXPECT_FALSE(station.timers.IsRunning(timer)) << timer;
        }
    }
}

// The analysis software before and after it came up: not open until started.
class LaunchedAnalyzer : public SimulatedAnalyzer {
  public:
    using SimulatedAnalyzer::SimulatedAnalyzer;
    int GetInputTrigMod() override { return up ? SimulatedAnalyzer::GetInputTrigMod() : 1; }
    bool up = false;
};

TEST(AnalyzerControlTest, LaunchCountdownOnTimerOne) {
    struct Case {
        bool launches;
        // The software answers once the countdown looks for it.
        bool comes_up;
        std::string last_line;
        int prompts;
    };
    const std::vector<Case> cases = {
        {true, true, std::string(kListSeparator), 0},
        {true, false, "[89600] 軟體 : 等待開啟中 ...", 0},
        {false, false, "[89600] 軟體 : 等待開啟中 ...", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.launches) + std::to_string(c.comes_up));
        TempDir logs;
        LaunchedAnalyzer link(logs.path());
        std::vector<std::string> launched;
        InstrumentStation station(nullptr, &link, "", [&](const std::string& program) {
            launched.push_back(program);
            return c.launches;
        });
        AnalyzerControl& analyzer = station.page.analyzer();
        analyzer.StartAnalyzer();
        EXPECT_EQ(launched, std::vector<std::string>{"OP_89600vsa.sh"});
        EXPECT_EQ(station.prompts.shown.size(), static_cast<std::size_t>(c.prompts));
        EXPECT_EQ(station.timers.IsRunning(kLaunchTimer), c.launches);
        if (c.launches) {
            station.timers.Advance(1000);
            EXPECT_EQ(station.page.state().analyzer.open_caption, "25");
            EXPECT_FALSE(station.page.state().analyzer.open_enabled);
            // The window is looked for only once fewer than 8 seconds are left.
            link.up = c.comes_up;
            station.timers.Advance(17000);
            EXPECT_EQ(station.page.state().analyzer.open_caption, "8");
            station.timers.Advance(30000);
        }
        EXPECT_FALSE(station.timers.IsRunning(kLaunchTimer));
        EXPECT_EQ(station.page.state().analyzer.open_caption, "開啟");
        EXPECT_TRUE(station.page.state().analyzer.open_enabled);
        EXPECT_EQ(analyzer.countdown(), 26);
        EXPECT_EQ(station.shared.vsa_open, c.comes_up);
        EXPECT_EQ(station.analyzer_page.tcp_messages.lines().back(), c.last_line);
    }
}

TEST(AnalyzerControlTest, SettingsDialogTextsReachTheAnalyzer) {
    InstrumentStation station;
    station.analyzer.set_trace_count(3);
    struct Case {
        std::string text;
        bool known;
        std::string listed;
    };
    const std::vector<Case> cases = {
        {"TRACE_ALL_FREQ 2.41 GHz", true, "[GUI] VSA Set Marker All : 正常"},
        {"VSACENTER 2.4 GHz", true, "[GUI] VSA Set Freq Center : 正常"},
        {"VSASPAN 1 GHz", true, "[GUI] VSA Set Freq Span : 異常"},
        {"TRACE_A_FREQ 1 Hz", true, "[GUI] VSA Set Marker 1 : 正常"},
        {"trace_a_freq 1 Hz", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        station.analyzer_page.tcp_messages.Clear();
        EXPECT_EQ(station.page.text().Interpret(c.text), c.known);
        const Lines& lines = station.analyzer_page.tcp_messages.lines();
        EXPECT_EQ(lines.empty() ? "" : lines[lines.size() - 2], c.listed);
    }
    EXPECT_DOUBLE_EQ(station.analyzer.view().marker_hz[0], 1.0);
    EXPECT_DOUBLE_EQ(station.analyzer.view().marker_hz[2], 2.41e9);
    EXPECT_TRUE(station.transport.sent.empty());
    EXPECT_TRUE(station.timers.journal.empty());
}

// The synced markers are trace A's alone; the page's test clicks the marker buttons.
TEST(AnalyzerControlTest, SettingsDialogButtonTexts) {
    EXPECT_EQ(SettingsDialogText(DialogButton::kTraceD, true, "7", "KHz"), "TRACE_D_FREQ 7 KHz");
    EXPECT_EQ(SettingsDialogText(DialogButton::kSpan, false, "10", "MHz"), "VSASPAN 10 MHz");
    EXPECT_EQ(SettingsDialogText(DialogButton::kCenter, false, "2.4", "GHz"), "VSACENTER 2.4 GHz");
}

}  // namespace
}  // namespace vantu::testing
