// The controller on the simulated card: what start-up, the timers and the controller
// commands do to the card and the host copy.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/controller.h"
#include "base/encoding.h"
#include "card/card_ops.h"
#include "fake_ports.h"
#include "model/controller_commands.h"
#include "remote_fakes.h"
#include "sim/simulated_card_session.h"
#include "temp_dir.h"

namespace vantu {
namespace {

using namespace testing;

class ControllerCardTest : public ::testing::Test {
  protected:
    ControllerCardTest() {
        std::filesystem::copy(VANTU_EXAMPLE_STATION, dir.path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        timers.on_tick = [this](int id) { controller.HandleTimerTick(id); };
        SimulatedCardConfig config;
        config.clock = &clock;
        session = std::make_unique<SimulatedCardSession>(config);
    }

    std::string Log() { return FromAnsi(dir.Read("Log/2026-12-5.log")); }

    TempDir dir;
    FakePrompts prompts;
    ManualTimers timers;
    FakeClock clock;
    QueuePoster poster;
    FakeWindow window;
    RecordingTransport transport;
    SharedSettings shared;
    std::unique_ptr<SimulatedCardSession> session;
    CVANTUDlg controller{ControllerPorts{prompts, timers, clock, poster, window, transport},
                         dir.path(), shared, [this](CardHandle& card) {
                             card = session->handle();
                             return std::uint32_t{0};
                         }};
};

TEST_F(ControllerCardTest, StartUpZeroesTheHostCopyAndPollsBlocksInOrder) {
    controller.report().area()[0] = 0xDEAD;
    session->card().SetReportWord(0, 0x11);
    session->card().SetReportWord(256 * 13 + 255, 0x22);
    controller.StartController();

    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(controller.shared().settings_loaded);
    EXPECT_NE(Log().find(",[GUI] PXIe 控制卡開啟 : 正常\n"), std::string::npos);
    EXPECT_EQ(controller.report().area()[0], 0u);
    EXPECT_EQ(controller.main_page().pattern_list,
              (std::vector<std::string>{"beam_short.cfg", "beam_full.cfg", "beam_odd.cfg"}));
    EXPECT_EQ(controller.main_page().pattern_selection, 0);

    // 1000 ms to the first block, then one block every 200 ms: 14 ticks read them all.
    timers.Advance(999);
    EXPECT_EQ(controller.report().sys_rpt_reg()[0], 0u);
    timers.Advance(1 + 13 * 200);
    EXPECT_EQ(controller.report().sys_rpt_reg()[0], 0x11u);
    EXPECT_EQ(controller.report().sys_rpt_reg()[256 * 13 + 255], 0x22u);
}

TEST_F(ControllerCardTest, FlagsHoldTheTimerTicks) {
    controller.StartController();
    timers.Advance(1000);
    EXPECT_EQ(timers.Remaining(kReportPollTimer), 200);

    // A remote parameter command owns the card: ticks only log and keep ticking.
    controller.flags().opcode_access = true;
    session->card().SetReportWord(256, 0x33);
    timers.Advance(400);
    EXPECT_EQ(controller.report().sys_rpt_reg()[256], 0u);
    std::string log = Log();
    std::size_t first = log.find("[TCP] Mem R/W : TCP_Query");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find("[TCP] Mem R/W : TCP_Query", first + 1), std::string::npos);
    controller.flags().opcode_access = false;

    // A load holds the card: the next tick stops the poll until the load restarts it.
    controller.flags().load_stop = true;
    timers.Advance(200);
    EXPECT_FALSE(timers.IsRunning(kReportPollTimer));
    EXPECT_EQ(controller.report().sys_rpt_reg()[256], 0u);
    controller.flags().load_stop = false;

    // While closing, ticks touch neither the card nor the timers.
    controller.flags().closing = true;
    timers.Start(kReportPollTimer, 200);
    timers.Start(kMainRefreshTimer, 5500);
    const auto starts = timers.starts.size();
    timers.Advance(6000);
    EXPECT_EQ(controller.report().sys_rpt_reg()[256], 0u);
    EXPECT_EQ(timers.starts.size(), starts);
}

TEST_F(ControllerCardTest, RunControlThroughTheCommandMessage) {
    controller.StartController();
    prompts.answers = {true, true};
    EXPECT_EQ(controller.HandleControllerCommand(kCodeRunControl, kArgLoadFromMainPage), 0);
    std::uint32_t word = 0;
    ReadCardRegister(session->handle(), 0xC008, word);
    EXPECT_EQ(word, 0x000B0025u);
    EXPECT_TRUE(controller.main_page().run_button_enabled);
    EXPECT_EQ(controller.run_control().loaded_pattern().name, "beam_short.cfg");
    // The load restarted both timers.
    EXPECT_EQ(timers.Remaining(kReportPollTimer), 1000);
    EXPECT_EQ(timers.Remaining(kMainRefreshTimer), 1500);

    EXPECT_EQ(controller.HandleControllerCommand(kCodeRunControl, kArgEnableControl), 0);
    EXPECT_TRUE(IsControlCodeBusy(session->handle()));
    EXPECT_EQ(controller.HandleControllerCommand(kCodeRunControl, kArgStopControl), 0);
    EXPECT_FALSE(IsControlCodeBusy(session->handle()));

    // (21, m) clears the module's host words only.
    timers.Advance(1000 + 13 * 200);
    controller.report().area()[2560] = 7;
    controller.HandleControllerCommand(kCodeClearModule, 0);
    EXPECT_EQ(controller.report().area()[2560], 0u);
    // A module number outside the table changes nothing.
    controller.report().area()[2560] = 7;
    controller.HandleControllerCommand(kCodeClearModule, 161);
    EXPECT_EQ(controller.report().area()[2560], 7u);
}

TEST_F(ControllerCardTest, WithoutWindowTheMainRefreshDecodesTemperatures) {
    // Temperature code 1 (8 °C) for every element of every slot.
    for (std::uint32_t word = 2560; word < 3584; ++word) {
        session->card().SetReportWord(word, 0x11111111);
    }
    controller.StartController();
    // Every block is read by 3.6 s; the second main page refresh comes at 7 s.
    timers.Advance(6999);
    EXPECT_EQ(controller.modules().records[0].q[0].temp[0], 0);
    timers.Advance(1);
    for (const ModuleRecord& record : controller.modules().records) {
        EXPECT_EQ(record.q[7].temp[3], 8) << int{record.number};
    }
}

TEST_F(ControllerCardTest, NothingRunsInsideAnotherCommandOrItsQuestion) {
    controller.StartController();
    TransportEvents& events = controller.remote().transport_events();
    events.OnConnectionRequested();
    // While the operator's load asks its question, the nested event loop delivers a new
    // client, its load and a posted command; none of them may run before the load ends.
    bool delivered = false;
    prompts.while_open = [&] {
        if (delivered) {
            return;
        }
        delivered = true;
        events.OnConnectionRequested();
        events.OnDataReceived("PL beam_full.cfg\rPS\r");
        controller.Post(kCodeRunControl, kArgMinimise);
        poster.Drain();
        EXPECT_EQ(transport.accepted, 1);
        EXPECT_TRUE(transport.sent.empty());
        EXPECT_EQ(window.minimise_requests, 0);
        // Waiting bytes stop further reads, so a flood waits in the socket buffers.
        EXPECT_TRUE(transport.reading_held);
    };
    prompts.answers = {true};
    EXPECT_EQ(controller.Send(kCodeRunControl, kArgLoadFromMainPage), 0);
    EXPECT_TRUE(delivered);
    EXPECT_TRUE(transport.sent.empty());
    EXPECT_EQ(controller.run_control().loaded_pattern().name, "beam_short.cfg");
    // Later bytes wait behind those still queued.
    events.OnDataReceived("PG 0\r");
    EXPECT_TRUE(transport.sent.empty());

    // Then they run in the order they arrived.
    poster.Drain();
    EXPECT_EQ(transport.accepted, 2);
    EXPECT_EQ(transport.ReceivedBy(2), "PL_DONE\rPS_DONE\rPG_DONE\r");
    EXPECT_EQ(controller.run_control().loaded_pattern().name, "beam_full.cfg");
    EXPECT_EQ(window.minimise_requests, 1);
    EXPECT_FALSE(transport.reading_held);
}

TEST(ControllerNoCard, CardCommandsAreRefused) {
    TempDir dir;
    FakePrompts prompts;
    ManualTimers timers;
    FakeClock clock;
    QueuePoster poster;
    FakeWindow window;
    RecordingTransport transport;
    SharedSettings shared;
    CVANTUDlg controller{ControllerPorts{prompts, timers, clock, poster, window, transport},
                         dir.path(), shared, [](CardHandle&) { return std::uint32_t{1}; }};
    controller.StartController();
    EXPECT_EQ(controller.HandleControllerCommand(kCodeRunControl, kArgEnableControl), 1);
    EXPECT_EQ(controller.HandleControllerCommand(kCodeAnalyzerLoad, kArgAnalyzerLoad), 1);
    EXPECT_EQ(controller.HandleControllerCommand(kCodeRunControl, kArgLoadFromMainPage), 1);
}

}  // namespace
}  // namespace vantu
