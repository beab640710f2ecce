#include "app/controller.h"

#include <sys/utsname.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <utility>

#include "card/card_ops.h"
#include "controller/controller_commands.h"
#include "fake_ports.h"
#include "log_lines.h"
#include "remote_fakes.h"
#include "sim/simulated_card_session.h"
#include "temp_dir.h"

namespace vantu {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;

// What the start-up log names this host: x64 or x86, nothing for other processors.
std::string HostArchitecture() {
    utsname name{};
    ::uname(&name);
    const std::string machine = name.machine;
    const bool x86 = machine.size() == 4 && machine[0] == 'i' && machine.ends_with("86");
    return machine == "x86_64" || machine == "amd64" ? "x64" : x86 ? "x86" : "";
}

// A controller on fake ports in a temporary station directory; its card open answers
// open_card's status.
class ControllerTest : public ::testing::Test {
  protected:
    ControllerTest() {
        dir.MakeDir("Log");
        timers.on_tick = [this](int id) { controller.HandleTimerTick(id); };
    }

    Lines LogMessages() { return testing::LogMessages(dir.File("Log/2026-12-5.log")); }

    TempDir dir;
    FakePrompts prompts;
    ManualTimers timers;
    FakeClock clock;
    QueuePoster poster;
    FakeWindow window;
    RecordingTransport transport;
    SharedSettings shared;
    std::function<std::uint32_t(CardHandle&)> open_card = [](CardHandle&) { return 1u; };
    CVANTUDlg controller{ControllerPorts{prompts, timers, clock, poster, window, transport},
                         dir.path(), shared, [this](CardHandle& card) { return open_card(card); }};
};

TEST_F(ControllerTest, StartWithoutCardOrSettings) {
    controller.StartController();

    Lines expected = {"--------------------------", "[GUI] VANTU 軟體版本 : VANTU V1.22"};
    if (!HostArchitecture().empty()) {
        expected.push_back("[GUI] 作業系統 : " + HostArchitecture());
        EXPECT_EQ(controller.shared().os_64bit, HostArchitecture() == "x64");
    }
    expected.insert(expected.end(),
                    {"[GUI] 無法開啟 setup.ini 設定檔", "[GUI] PXIe 控制卡開啟 : 異常"});
    EXPECT_EQ(LogMessages(), expected);
    // The settings warning comes before the card box, both wait for the operator.
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(std::pair(prompts.shown[0].icon, prompts.shown[1].icon),
              std::pair(PromptIcon::Warning, PromptIcon::Error));
    EXPECT_EQ(controller.analyzer_page().tcp_messages.lines(),
              (Lines{"[GUI] PXIe 控制卡開啟 : 異常"}));
    EXPECT_FALSE(controller.flags().card_present);
    EXPECT_FALSE(controller.shared().settings_loaded);

    // No polling without a card, but the main page refreshes; its period is the card test's.
    EXPECT_FALSE(timers.IsRunning(kReportPollTimer));
    EXPECT_EQ(timers.RemainingMs(kMainRefreshTimer), 1500);

    // Tab changes show only the main page.
    controller.SelectTab(kTabAntenna);
    EXPECT_EQ(controller.current_tab(), kTabMain);
    EXPECT_EQ(window.shown_pages.back(), kTabMain);
    EXPECT_FALSE(timers.IsRunning(kAntennaTimer));
}

// The firmware tab's page on the lifecycle seam, counting what the controller asks of it.
struct CountingPage : PageLifecycle {
    int tab() const override { return kTabFirmware; }
    PageTimer timer() const override { return {kFirmwareTimer, 1000, 5000}; }
    void FirstSelection() override { ++first; }
    void Shown() override { ++shown; }
    void Tick() override {}
    int first = 0;
    int shown = 0;
};

class ControllerWithCardTest : public ControllerTest {
  protected:
    ControllerWithCardTest() {
        open_card = [](CardHandle&) { return 0u; };
        controller.RegisterPage(firmware);
    }
    CountingPage firmware;
};

TEST_F(ControllerWithCardTest, TimersFollowTheTabs) {
    controller.StartController();
    // The first selection asked for the first half of the TRM and QDX-A pages.
    EXPECT_EQ(poster.queue.size(), 2u);
    poster.Drain();
    const auto messages = LogMessages();
    EXPECT_EQ(Lines(messages.end() - 2, messages.end()),
              (Lines{"[GUI] PXIe 控制卡開啟 : 正常", "[TCP] 伺服器 : 已開啟備便"}));
    EXPECT_EQ(transport.calls, Lines{"Listen"});
    EXPECT_EQ(timers.RemainingMs(kReportPollTimer), 1000);

    controller.SelectTab(kTabAntenna);
    EXPECT_FALSE(timers.IsRunning(kMainRefreshTimer));
    EXPECT_EQ(timers.RemainingMs(kAntennaTimer), 1000);
    timers.Advance(1000);
    EXPECT_EQ(timers.RemainingMs(kAntennaTimer), 5000);
    EXPECT_EQ(controller.antenna_page().refreshes(), 1);
    // This card reads nothing: once its polls failed the readings stand as they were.
    timers.Advance(5000);
    EXPECT_EQ(timers.RemainingMs(kAntennaTimer), 5000);
    EXPECT_EQ(controller.antenna_page().refreshes(), 1);

    controller.SelectTab(kTabFirmware);
    EXPECT_FALSE(timers.IsRunning(kAntennaTimer));
    EXPECT_EQ(timers.RemainingMs(kFirmwareTimer), 1000);

    controller.SelectTab(kTabMain);
    EXPECT_FALSE(timers.IsRunning(kFirmwareTimer));
    EXPECT_EQ(timers.RemainingMs(kMainRefreshTimer), 1500);
    // Set-up at the first selection only, at start-up; each page sees its own tab.
    EXPECT_EQ(std::pair(firmware.first, firmware.shown), std::pair(1, 1));
    EXPECT_TRUE(poster.queue.empty());

    // A display-mode change shows within 2 s.
    controller.HandleControllerCommand(2, 2);
    EXPECT_EQ(timers.RemainingMs(kMainRefreshTimer), 2000);
}

TEST_F(ControllerTest, CloseQuestion) {
    controller.StartController();
    const auto logged = LogMessages().size();

    prompts.answers = {false};
    EXPECT_EQ(controller.HandleControllerCommand(2, 0), 0);
    poster.Drain();
    EXPECT_EQ(window.close_requests, 0);
    EXPECT_EQ(LogMessages().size(), logged);

    prompts.answers = {true};
    controller.HandleControllerCommand(2, 0);
    // The window closes after the handler returned.
    EXPECT_EQ(window.close_requests, 0);
    poster.Drain();
    EXPECT_EQ(window.close_requests, 1);
    const auto messages = LogMessages();
    EXPECT_EQ(Lines(messages.begin() + logged, messages.end()),
              (Lines{"關閉 VANTU GUI程式", "--------------------------"}));
}

TEST_F(ControllerTest, CommandsAndElapsedTime) {
    // Minimising, and posted commands running later, are checked where a question is open.
    controller.StartController();
    EXPECT_EQ(controller.HandleControllerCommand(99, 1), 0);
    // Code 6 reaches the firmware link's serial port.
    prompts.shown.clear();
    controller.firmware().set_simulated_device("/nonexistent/tty");
    EXPECT_EQ(controller.HandleControllerCommand(kCodeFirmware, kArgReadFirmware), 0);
    EXPECT_EQ(prompts.shown.at(0).caption, "確認串列埠設定");

    // Saves go to setup.ini and warn when it cannot be written.
    controller.shared().ref_line_colour = 0x123;
    EXPECT_EQ(controller.HandleControllerCommand(2, 10), 0);
    EXPECT_NE(dir.Read("setup.ini").find("REF_LINE_CLR= 0x123"), std::string::npos);

    clock.micros = 1000;
    controller.MarkElapsedStart();
    clock.micros = 3500;
    clock.nanos = 250;
    EXPECT_DOUBLE_EQ(controller.ElapsedMicroseconds(), 2500.25);
}

TEST_F(ControllerWithCardTest, ShutdownKillsEveryTimerBeforeTheServerCloses) {
    controller.StartController();
    controller.SelectTab(kTabAntenna);
    timers.TakeJournal();
    transport.journal = &timers.journal;
    controller.ShutdownController();
    // Every timer is killed, pages in any order, and only then is the server closed.
    const Lines journal = timers.TakeJournal();
    ASSERT_GE(journal.size(), 2u);
    EXPECT_EQ(Lines(journal.end() - 2, journal.end()), (Lines{"CloseClient", "CloseListener"}));
    EXPECT_EQ(std::set<std::string>(journal.begin(), journal.end() - 2),
              (std::set<std::string>{"kill 0", "kill 1", "kill 2", "kill 3", "kill 20"}));
}

// The controller on the simulated card in a copy of the example station.
class ControllerCardTest : public ControllerTest {
  protected:
    ControllerCardTest() {
        std::filesystem::copy(VANTU_EXAMPLE_STATION, dir.path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        session = std::make_unique<SimulatedCardSession>(SimulatedCardConfig{.clock = &clock});
        open_card = [this](CardHandle& card) {
            card = session->handle();
            return 0u;
        };
    }

    std::unique_ptr<SimulatedCardSession> session;
};

// While closing, ticks touch neither the card nor the timers; what a remote parameter
// command's hold does to the poll is the report capture's test.
TEST_F(ControllerCardTest, ClosingHoldsTheTimerTicks) {
    controller.StartController();
    timers.Advance(1000);
    session->card().SetReportWord(256, 0x33);
    controller.flags().closing = true;
    timers.Start(kReportPollTimer, 200);
    timers.Start(kMainRefreshTimer, 5500);
    timers.TakeJournal();
    timers.Advance(6000);
    EXPECT_EQ(controller.report().sys_rpt_reg()[256], 0u);
    EXPECT_TRUE(timers.journal.empty());
}

// How the poll walks the blocks is the report capture's test.
TEST_F(ControllerCardTest, StartUpZeroesTheHostCopyAndRunControlTakesTheCommandMessage) {
    controller.report().area()[0] = 0xDEAD;
    controller.StartController();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(controller.shared().settings_loaded);
    EXPECT_EQ(controller.report().area()[0], 0u);

    prompts.answers = {true, true};
    EXPECT_EQ(controller.HandleControllerCommand(kCodeRunControl, kArgLoadFromMainPage), 0);

    EXPECT_EQ(controller.HandleControllerCommand(kCodeRunControl, kArgEnableControl), 0);
    EXPECT_TRUE(IsControlCodeBusy(session->handle()));
    EXPECT_EQ(controller.HandleControllerCommand(kCodeRunControl, kArgStopControl), 0);
    EXPECT_FALSE(IsControlCodeBusy(session->handle()));

    // (21, m) clears the module's host words only.
    timers.Advance(1000 + 13 * 200);
    controller.report().area()[2560] = 7;
    controller.HandleControllerCommand(kCodeClearModule, 0);
    EXPECT_EQ(controller.report().area()[2560], 0u);
}

TEST_F(ControllerCardTest, WithoutWindowTheMainRefreshDecodesTemperaturesUnlessStale) {
    const auto set_temperature_words = [&](std::uint32_t value) {
        for (std::uint32_t word = 2560; word < 3584; ++word) {
            session->card().SetReportWord(word, value);
        }
    };
    set_temperature_words(0x11111111);  // code 1, 8 °C, for every element of every slot
    controller.StartController();
    // Every block is read by 3.6 s; the second main page refresh comes at 7 s.
    timers.Advance(6999);
    EXPECT_EQ(controller.modules().records[0].q[0].temp[0], 0);
    timers.Advance(1);
    for (const ModuleRecord& record : controller.modules().records) {
        EXPECT_EQ(record.q[7].temp[3], 8) << int{record.number};
    }

    // A card reading all ones is stale: the refresh keeps 8 °C instead of decoding 78 °C,
    // until a readable cycle comes back.
    set_temperature_words(0xFFFFFFFF);
    timers.Advance(5500);
    EXPECT_EQ(controller.modules().records[3].q[1].temp[2], 8);
    set_temperature_words(0x22222222);
    timers.Advance(5500);
    EXPECT_EQ(controller.modules().records[3].q[1].temp[2], 13);
}

// The TRM page's shown half (TM5, column 0 upper) follows each full report while its
// tab is shown and catches up when the tab comes back.
TEST_F(ControllerCardTest, TheShownHalfFollowsEveryFullReport) {
    controller.StartController();
    const auto summary_after_a_cycle = [&](std::uint32_t word) {
        session->card().SetReportWord(256, word);  // module 0, Q0: E0's summary flag
        timers.Advance(14 * 200);
        poster.Drain();
        return controller.modules().records[0].q[0].trm_status[0];
    };
    controller.SelectTab(kTabTrm);
    timers.Advance(1000);
    EXPECT_EQ(summary_after_a_cycle(1), 1);
    controller.SelectTab(kTabAntenna);
    EXPECT_EQ(summary_after_a_cycle(0), 1);
    controller.SelectTab(kTabTrm);
    poster.Drain();
    EXPECT_EQ(controller.modules().records[0].q[0].trm_status[0], 0);
}

TEST_F(ControllerTest, ShutdownDuringTheCardErrorBoxEndsTheStartUp) {
    prompts.while_open = [&] {
        if (prompts.shown.size() == 2) {
            controller.ShutdownController();
        }
    };
    controller.StartController();
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(LogMessages().back(), "[GUI] 無法開啟 setup.ini 設定檔");
    EXPECT_TRUE(controller.analyzer_page().tcp_messages.lines().empty());
    EXPECT_FALSE(timers.IsRunning(kMainRefreshTimer));
}

// What waits behind the last question goes with the shutdown: nothing runs against the
// card or the log once the server has closed.
TEST_F(ControllerCardTest, ShutdownDropsWhatWaitsBehindAnOpenQuestion) {
    controller.StartController();
    TransportEvents& events = controller.remote().transport_events();
    events.OnConnectionRequested();
    prompts.while_open = [&] {
        events.OnDataReceived("PS\r");
        controller.ShutdownController();
    };
    controller.Send(kCodeRunControl, kArgLoadFromMainPage);
    poster.Drain();
    EXPECT_EQ(LogMessages().back(), "[TCP] 伺服器通訊 : 已關閉");
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

}  // namespace
}  // namespace vantu
