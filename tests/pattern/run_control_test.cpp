#include "pattern/run_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "card/bar0_map.h"
#include "card/card_ops.h"
#include "pattern/chassis_controls.h"
#include "pattern/main_run_button.h"
#include "pattern_station.h"
#include "recording_commands.h"

namespace vantu {
namespace {

using Lines = std::vector<std::string>;
using testing::kStoppedAndRestarted;

class RunControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(station.card, nullptr);
        station.main_page.pattern_list = {"beam_a.cfg", "beam_b.cfg"};
        station.main_page.pattern_selection = 1;
        station.WritePattern("beam_b.cfg", 0xC000, {0xB1, 0xB2, 0xB3, 0xB4});
        // Timers as the controller runs them while idle.
        station.timers.Start(0, 200);
        station.timers.Start(1, 5500);
        station.timers.TakeJournal();
    }

    std::string Dir() const { return station.settings.pattern_dir; }
    bool Running() { return IsControlCodeBusy(station.card); }

    testing::PatternStation station;
};

TEST_F(RunControlTest, MainPageLoadStopsRunningCodeAndLoads) {
    EnableControlCode(station.card);
    station.main_page.running = true;
    station.prompts.answers = {true, true};

    EXPECT_EQ(station.run.LoadFromMainPage(), 0);

    EXPECT_EQ(std::pair(Running(), station.main_page.running), std::pair(false, false));
    EXPECT_EQ(station.CardWord(0xC00C), 0xB4u);
    EXPECT_EQ(station.run.loaded_pattern().name, "beam_b.cfg");
    EXPECT_EQ(station.clock.sleeps, (std::vector<int>{500, 200}));
    EXPECT_EQ(station.timers.TakeJournal(), kStoppedAndRestarted);
    EXPECT_EQ(station.prompts.shown.size(), 3u);
    EXPECT_EQ(station.LogLines(), (Lines{"[MAIN] 載入執行碼檔名 : beam_b.cfg",
                                         "[MAIN] PXIe/QDX 全型機箱執行碼控制 : 忙碌中",
                                         "[MAIN] PXIe/QDX 全型機箱控制執行碼 : 已停用",
                                         "[MAIN] PXIe/QDX 全型機箱控制執行碼 : 已重置",
                                         "QDX 全型機箱控制執行碼已載入完成 !              "}));
}

TEST_F(RunControlTest, MainPageLoadAnsweredNoWhileBusyKeepsTheCodeRunning) {
    station.run.RememberLoaded(Dir() + "/beam_a.cfg");
    WriteCardRegister(station.card, 0xC000, 0x1234);
    EnableControlCode(station.card);
    station.prompts.answers = {true, false};

    EXPECT_EQ(station.run.LoadFromMainPage(), 0);

    EXPECT_TRUE(Running());
    EXPECT_EQ(station.CardWord(0xC000), 0x1234u);
    EXPECT_NE(station.prompts.shown.back().text.find("路徑 : " + Dir() + "\n檔名 : beam_a.cfg" +
                                                     std::string(23, ' ')),
              std::string::npos);
    EXPECT_EQ(station.LogLines(), Lines{"[MAIN] 載入執行碼檔名 : beam_b.cfg"});
    EXPECT_EQ(station.timers.TakeJournal(), kStoppedAndRestarted);
    EXPECT_TRUE(station.clock.sleeps.empty());
    EXPECT_EQ(station.run.loaded_pattern().name, "beam_a.cfg");
}

TEST_F(RunControlTest, RefusedFilesLeaveTheRunningCodeAndTheLastNameAlone) {
    station.prompts.answers = {true};
    ASSERT_EQ(station.run.LoadFromMainPage(), 0);
    EnableControlCode(station.card);
    station.main_page.running = true;
    station.WritePattern("beam_a.cfg", 0xC002, {1, 2});
    const std::vector<std::uint32_t> code = station.ControlCode();
    const Lines refusal{"無法讀取 [ beam_a.cfg ] 資料錯誤 !",
                        "無法讀取 [ beam_a.cfg ] 原因 : 起始位址不是 4 的倍數"};
    auto last_log_lines = [&](std::ptrdiff_t n) {
        const Lines all = station.LogLines();
        return Lines(all.end() - n, all.end());
    };
    station.clock.sleeps.clear();

    // From the main page: asked to load, then told why not; no busy question.
    station.main_page.pattern_selection = 0;
    station.prompts.answers = {true};
    station.prompts.shown.clear();
    station.timers.TakeJournal();
    EXPECT_EQ(station.run.LoadFromMainPage(), 0);
    EXPECT_EQ(last_log_lines(3),
              (Lines{"[MAIN] 載入執行碼檔名 : beam_a.cfg", refusal[0], refusal[1]}));
    EXPECT_EQ(station.timers.TakeJournal(), kStoppedAndRestarted);

    // From the analyzer page: only the loader's lines; nothing listed as reset.
    station.analyzer_page.chassis.control_code_name = "beam_a.cfg";
    EXPECT_EQ(station.run.LoadFromAnalyzerPage(), 0);
    EXPECT_EQ(last_log_lines(4), (Lines{"[GUI] 載入執行碼檔名 : beam_a.cfg", refusal[0], refusal[1],
                                        std::string(kLogSeparator)}));
    EXPECT_EQ(station.analyzer_page.tcp_messages.lines(),
              (Lines{"[GUI] 載入執行碼檔名 : beam_a.cfg", std::string(kListSeparator)}));
    EXPECT_FALSE(station.analyzer_page.chassis.pattern_loaded);

    // The main page's question and its refusal box; the analyzer page shows none.
    EXPECT_EQ(station.prompts.shown.size(), 2u);
    EXPECT_EQ(std::pair(Running(), station.main_page.running), std::pair(true, true));
    EXPECT_EQ(station.ControlCode(), code);
    EXPECT_TRUE(station.clock.sleeps.empty());
    EXPECT_EQ(station.run.loaded_pattern().name, "beam_b.cfg");
}

TEST_F(RunControlTest, MainPageLoadOfAMissingNameWarnsAndLeavesTimersRunning) {
    station.main_page.pattern_selection = 0;

    EXPECT_EQ(station.run.LoadFromMainPage(), 1);

    EXPECT_EQ(station.prompts.shown.size(), 1u);
    EXPECT_EQ(station.LogLines(), (Lines{"[MAIN] 載入執行碼檔名 : beam_a.cfg",
                                         "[MAIN] PXIe/QDX 全型機箱控制執行碼 : 不存在"}));
    EXPECT_TRUE(station.timers.journal.empty());
}

TEST_F(RunControlTest, MainPageLoadDeclinedChangesNothing) {
    EXPECT_EQ(station.run.LoadFromMainPage(), 1);
    EXPECT_EQ(station.prompts.shown.size(), 1u);
    EXPECT_TRUE(station.LogLines().empty());
    EXPECT_EQ(station.timers.RemainingMs(0), 200);
}

TEST_F(RunControlTest, AnalyzerPageLoadWithAnEmptyFieldTouchesNothing) {
    WriteCardRegister(station.card, 0xC000, 0x1234);

    EXPECT_EQ(station.run.LoadFromAnalyzerPage(), 0);

    EXPECT_EQ(station.CardWord(0xC000), 0x1234u);
    EXPECT_EQ(
        station.analyzer_page.tcp_messages.lines(),
        (Lines{"[GUI] 載入執行碼檔名 : ", "[GUI] 載入執行碼 : 異常", std::string(kListSeparator)}));
    EXPECT_EQ(station.LogLines(), (Lines{"[GUI] 載入執行碼檔名 : ", "[GUI] 載入執行碼檔名 : 異常",
                                         std::string(kLogSeparator)}));
    EXPECT_FALSE(station.analyzer_page.chassis.pattern_loaded);
}

TEST_F(RunControlTest, AnalyzerPageLoadStopsWithoutAskingAndEnablesItsButtons) {
    EnableControlCode(station.card);
    station.main_page.running = true;
    station.analyzer_page.chassis.control_code_name = "beam_b.cfg";

    EXPECT_EQ(station.run.LoadFromAnalyzerPage(), 0);

    EXPECT_EQ(std::pair(Running(), station.main_page.running), std::pair(false, false));
    EXPECT_TRUE(station.prompts.shown.empty());
    EXPECT_EQ(station.CardWord(0xC004), 0xB2u);
    EXPECT_EQ(station.clock.sleeps, (std::vector<int>{500, 50, 50}));
    EXPECT_TRUE(station.analyzer_page.chassis.run_button_enabled);
    EXPECT_TRUE(station.analyzer_page.chassis.pattern_loaded);
    EXPECT_EQ(station.run.loaded_pattern().name, "beam_b.cfg");
    EXPECT_EQ(
        station.analyzer_page.tcp_messages.lines(),
        (Lines{"[GUI] 載入執行碼檔名 : beam_b.cfg", "[GUI] PXIe/QDX 全型機箱執行碼控制 : 忙碌中",
               "[GUI] PXIe/QDX 全型機箱控制執行碼 : 已停用",
               "[GUI] PXIe/QDX 全型機箱控制執行碼 : 已重置",
               "[GUI] 載入PXIe/QDX 全型機箱控制執行碼 : 完成", std::string(kListSeparator)}));
    EXPECT_EQ(station.timers.TakeJournal(), kStoppedAndRestarted);

    station.analyzer_page.chassis.control_code_name = "absent.cfg";
    station.analyzer_page.tcp_messages.Clear();
    EXPECT_EQ(station.run.LoadFromAnalyzerPage(), 0);
    EXPECT_EQ(station.analyzer_page.tcp_messages.lines()[1],
              "[GUI] PXIe/QDX 全型機箱控制執行碼 : 不存在");
    EXPECT_EQ(station.CardWord(0xC004), 0xB2u);
}

TEST_F(RunControlTest, ReportResetStopsTheCodeAndZeroesAllBlocksBeforeTheBox) {
    // Whether the report poll could touch the card, and the load stop, while the box is open.
    std::vector<std::pair<bool, bool>> while_open;
    station.prompts.while_open = [&] {
        while_open.emplace_back(station.timers.IsRunning(0) || station.timers.IsRunning(1),
                                station.flags.load_stop);
    };
    for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
        WriteCardRegister(station.card, kReportMemory + block * kReportBlockBytes + 0x3FC, 0xFFFF);
        WriteCardRegister(station.card, kReportMemory + block * kReportBlockBytes, 0xFFFF);
    }
    EnableControlCode(station.card);
    station.main_page.running = true;

    EXPECT_EQ(station.run.ResetReportStates(), 0);

    EXPECT_EQ(std::pair(Running(), station.main_page.running), std::pair(false, false));
    EXPECT_EQ(station.clock.sleeps, (std::vector<int>{10, 500}));
    std::vector<std::uint32_t> card_report(kReportWords);
    for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
        ReadReportBlock(station.card, card_report.data(), block);
    }
    EXPECT_TRUE(std::ranges::all_of(card_report, [](std::uint32_t w) { return w == 0; }));
    EXPECT_TRUE(std::ranges::all_of(station.report_copy, [](std::uint32_t w) { return w == 0; }));
    EXPECT_EQ(while_open, (std::vector<std::pair<bool, bool>>{{false, true}}));
    EXPECT_FALSE(station.flags.load_stop);
    EXPECT_EQ(station.timers.TakeJournal(), kStoppedAndRestarted);
    EXPECT_TRUE(station.LogLines().empty());
}

TEST_F(RunControlTest, ControlCodeResetClearsTheMemoryAndKeepsTheRunButton) {
    station.prompts.answers = {true};
    ASSERT_EQ(station.run.LoadFromMainPage(), 0);
    station.clock.sleeps.clear();
    station.timers.TakeJournal();
    station.prompts.shown.clear();

    EXPECT_EQ(station.run.ResetControlCode(), 0);

    EXPECT_EQ(station.ControlCode(), std::vector<std::uint32_t>(kControlCodeWords, 0));
    EXPECT_TRUE(station.clock.sleeps.empty());
    EXPECT_TRUE(station.main_page.run_button_enabled);
    EXPECT_FALSE(station.flags.load_stop);
    ASSERT_EQ(station.prompts.shown.size(), 1u);
    EXPECT_EQ(station.timers.TakeJournal(), kStoppedAndRestarted);
}

TEST_F(RunControlTest, WithoutACardNothingReachesTheSequencer) {
    EnableControlCode(station.card);
    station.flags.card_present = false;
    station.analyzer_page.chassis.control_code_name = "beam_b.cfg";
    EXPECT_EQ(station.run.EnableControl(), 1);
    EXPECT_EQ(station.run.LoadFromMainPage(), 1);
    EXPECT_EQ(station.run.LoadFromAnalyzerPage(), 1);
    EXPECT_EQ(station.run.StopControl(), 0);
    EXPECT_TRUE(Running());
    EXPECT_TRUE(station.prompts.shown.empty());
    EXPECT_TRUE(station.timers.journal.empty());
}

TEST(RunControlWithoutCard, ResetsLeaveTheReportTimerStopped) {
    testing::PatternStation station(false);
    for (auto reset : {&RunControl::ResetReportStates, &RunControl::ResetControlCode}) {
        EXPECT_EQ((station.run.*reset)(), 0);
        EXPECT_EQ(station.timers.TakeJournal(),
                  (std::vector<std::string>{"kill 0", "kill 1", "start 1 1500"}));
    }
}

using Commands = std::vector<std::pair<int, std::intptr_t>>;

TEST(MainRunButton, TwoClicksPostEnableThenStop) {
    MainPageModel page;
    testing::RecordingCommands sink;
    EXPECT_EQ(page.run_caption(), "啟用");
    ClickMainRunButton(page, sink);
    EXPECT_EQ(page.run_caption(), "停止");
    ClickMainRunButton(page, sink);
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
    // The name shown and its tooltip.
    auto chosen = [&] { return group.control_code_name + " " + group.control_code_tooltip; };
    EXPECT_TRUE(controls.ChooseBrowsedFile("/data/SP Pattern/Beam.CFG"));
    EXPECT_EQ(chosen(), "Beam.CFG /data/SP Pattern/Beam.CFG");
    EXPECT_EQ(group.browse_dir, "/data/SP Pattern/");
    EXPECT_TRUE(group.load_button_enabled);

    for (const char* path :
         {"/data/beam.cfg.txt", "/data/cfg", "/data.cfg/beam", "/data/beam.cf"}) {
        EXPECT_FALSE(controls.ChooseBrowsedFile(path)) << path;
        EXPECT_EQ(chosen(), "Beam.CFG /data/SP Pattern/Beam.CFG");
    }
    EXPECT_EQ(station.prompts.shown.size(), 4u);

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
    EXPECT_TRUE(group.interval_list_enabled);
    group.interval_selection = 0;
    station.timers.on_tick = [this](int id) {
        ASSERT_EQ(id, kContinuousRunTimer);
        controls.HandleContinuousTick();
    };

    controls.ClickRun();
    EXPECT_EQ(station.timers.RemainingMs(kContinuousRunTimer), 5000);
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
