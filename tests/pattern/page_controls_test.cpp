#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pattern/chassis_controls.h"
#include "pattern/main_run_button.h"
#include "pattern_station.h"
#include "recording_commands.h"

namespace vantu {
namespace {

using Lines = std::vector<std::string>;
using Commands = std::vector<std::pair<int, std::intptr_t>>;

TEST(MainRunButton, TwoClicksPostEnableThenStop) {
    MainPageModel page;
    testing::RecordingCommands sink;
    EXPECT_EQ(page.run_caption(), "啟用");
    ClickMainRunButton(page, sink);
    EXPECT_EQ(page.run_caption(), "停止");
    ClickMainRunButton(page, sink);
    EXPECT_EQ(page.run_caption(), "啟用");
    EXPECT_FALSE(page.running);
    EXPECT_EQ(sink.posted, (Commands{{2, 5}, {2, 6}}));
    EXPECT_TRUE(sink.sent.empty());
}

class ChassisControlsTest : public ::testing::Test {
  protected:
    testing::PatternStation station;
    testing::RecordingCommands sink;
    AnalyzerPageModel::ChassisGroup& group = station.analyzer_page.chassis;
    ChassisControls controls{station.analyzer_page, sink, station.timers, station.prompts,
                             station.logs};
};

TEST_F(ChassisControlsTest, BrowseAcceptsOnlyCfgFiles) {
    EXPECT_TRUE(controls.ChooseBrowsedFile("/data/SP Pattern/Beam.CFG"));
    EXPECT_EQ(group.control_code_name, "Beam.CFG");
    EXPECT_EQ(group.control_code_tooltip, "/data/SP Pattern/Beam.CFG");
    EXPECT_EQ(group.browse_dir, "/data/SP Pattern/");
    EXPECT_TRUE(group.load_button_enabled);

    for (const char* path :
         {"/data/beam.cfg.txt", "/data/cfg", "/data.cfg/beam", "/data/beam.cf"}) {
        EXPECT_FALSE(controls.ChooseBrowsedFile(path)) << path;
        EXPECT_EQ(group.control_code_name, "Beam.CFG");
        EXPECT_EQ(group.control_code_tooltip, "/data/SP Pattern/Beam.CFG");
    }
    ASSERT_EQ(station.prompts.shown.size(), 4u);
    EXPECT_EQ(station.prompts.shown[0].icon, PromptIcon::Warning);
    EXPECT_EQ(station.prompts.shown[0].text, "Failed to open payload file. ( *.cfg )    ");

    controls.ClickLoad();
    EXPECT_EQ(sink.sent, (Commands{{7, 1}}));
}

TEST_F(ChassisControlsTest, SingleStepRunsOncePerPress) {
    controls.ClickRun();
    EXPECT_TRUE(sink.sent.empty());

    group.pattern_loaded = true;
    EXPECT_EQ(group.run_caption(), "執行");
    controls.ClickRun();
    controls.ClickRun();
    EXPECT_EQ(sink.sent, (Commands{{2, 5}, {2, 5}}));
    EXPECT_TRUE(group.stop_button_enabled);
    EXPECT_FALSE(station.timers.IsRunning(kContinuousRunTimer));
    EXPECT_EQ(station.analyzer_page.tcp_messages.lines()[0], "PXIe/QDX 全型機箱控制執行碼 : 執行");
    EXPECT_EQ(station.analyzer_page.tcp_messages.lines()[1], "PXIe/QDX 全型機箱控制 : 單步模式");
    EXPECT_EQ(station.analyzer_page.tcp_messages.lines()[2], kListSeparator);

    controls.ClickStop();
    EXPECT_EQ(sink.sent.back(), (std::pair<int, std::intptr_t>{2, 6}));
    EXPECT_FALSE(group.stop_button_enabled);
    EXPECT_EQ(station.LogLines(),
              (Lines{"PXIe/QDX 全型機箱控制執行碼 : 停止執行", std::string(kLogSeparator)}));
}

TEST_F(ChassisControlsTest, ContinuousModeRestartsEveryIntervalUntilStopped) {
    group.pattern_loaded = true;
    controls.ClickContinuous();
    EXPECT_EQ(group.run_caption(), "啟用");
    EXPECT_TRUE(group.interval_list_enabled);
    group.interval_selection = 0;
    station.timers.on_tick = [this](int id) {
        ASSERT_EQ(id, kContinuousRunTimer);
        controls.HandleContinuousTick();
    };

    controls.ClickRun();
    EXPECT_EQ(group.interval_ms, 5000);
    EXPECT_EQ(sink.sent, (Commands{{2, 5}}));
    EXPECT_EQ(station.analyzer_page.tcp_messages.lines(),
              (Lines{"PXIe/QDX 全型機箱控制執行碼 : 啟用", "PXIe/QDX 全型機箱控制執行碼 : 連續模式",
                     "[PXIe] 執行的間隔時間 : 5 (秒)", std::string(kListSeparator)}));
    EXPECT_EQ(station.LogLines(), Lines{"[PXIe] 執行的間隔時間 : 5 (秒)"});

    station.timers.Advance(15000);
    EXPECT_EQ(sink.posted, (Commands{{2, 5}, {2, 5}, {2, 5}}));

    // A switch to single step does not end the restarts; the stop button does.
    controls.ClickSingleStep();
    EXPECT_FALSE(group.interval_list_enabled);
    controls.ClickStop();
    station.timers.Advance(15000);
    EXPECT_EQ(sink.posted.size(), 3u);
    EXPECT_FALSE(station.timers.IsRunning(kContinuousRunTimer));
}

}  // namespace
}  // namespace vantu
