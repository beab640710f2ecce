#include "app/controller.h"

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "fake_ports.h"
#include "remote_fakes.h"
#include "temp_dir.h"

namespace vantu {
namespace {

using namespace testing;

// A controller on fake ports in a temporary station directory.
class ControllerTest : public ::testing::Test {
  protected:
    explicit ControllerTest(std::uint32_t card_status = 1) : card_status_(card_status) {
        dir.MakeDir("Log");
        timers.on_tick = [this](int id) { controller.HandleTimerTick(id); };
    }

    std::vector<std::string> LogMessages() {
        std::string text = FromAnsi(dir.Read("Log/2026-12-5.log"));
        std::vector<std::string> messages;
        std::size_t pos = 0;
        while ((pos = text.find("19:46:12,", pos)) != std::string::npos) {
            std::size_t end = text.find('\n', pos);
            messages.push_back(text.substr(pos + 9, end - pos - 9));
            pos = end;
        }
        return messages;
    }

    TempDir dir;
    FakePrompts prompts;
    ManualTimers timers;
    FakeClock clock;
    QueuePoster poster;
    FakeWindow window;
    RecordingTransport transport;
    std::uint32_t card_status_;
    SharedSettings shared;
    CVANTUDlg controller{ControllerPorts{prompts, timers, clock, poster, window, transport},
                         dir.path(), shared, [this](CardHandle&) { return card_status_; }};
};

TEST_F(ControllerTest, StartWithoutCardOrSettings) {
    controller.StartController();

    EXPECT_EQ(LogMessages(), (std::vector<std::string>{
                                 "--------------------------",
                                 "[GUI] VANTU 軟體版本 : VANTU V1.22",
                                 "[GUI] 作業系統 : x64",
                                 "[GUI] 無法開啟 setup.ini 設定檔",
                                 "[GUI] PXIe 控制卡開啟 : 異常",
                             }));
    // The settings warning comes before the card box, both wait for the operator.
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].icon, PromptIcon::Warning);
    EXPECT_EQ(prompts.shown[1].icon, PromptIcon::Error);
    EXPECT_EQ(prompts.shown[1].text, std::string(kCardOpenFailure));
    EXPECT_EQ(controller.analyzer_page().tcp_messages.lines(),
              (std::vector<std::string>{"[GUI] PXIe 控制卡開啟 : 異常"}));
    EXPECT_FALSE(controller.flags().card_present);
    EXPECT_FALSE(controller.shared().settings_loaded);
    EXPECT_TRUE(controller.shared().os_64bit);

    // No polling without a card; the main page refresh runs 1500 ms after start,
    // then every 5500 ms.
    EXPECT_FALSE(timers.IsRunning(kReportPollTimer));
    EXPECT_EQ(timers.Remaining(kMainRefreshTimer), 1500);
    timers.Advance(1500);
    EXPECT_EQ(timers.Remaining(kMainRefreshTimer), 5500);

    // Tab changes show only the main page.
    controller.SelectTab(kTabAntenna);
    EXPECT_EQ(controller.current_tab(), kTabMain);
    EXPECT_EQ(window.shown_pages.back(), kTabMain);
    EXPECT_FALSE(timers.IsRunning(kAntennaTimer));
}

// A page on the lifecycle seam that counts what the controller asks of it.
struct CountingPage : PageLifecycle {
    CountingPage(int tab, int timer_id) : tab_(tab), timer_id_(timer_id) {}
    int tab() const override { return tab_; }
    PageTimer timer() const override { return {timer_id_, 1000, 5000}; }
    void FirstSelection() override { ++first; }
    void Shown() override { ++shown; }
    void Tick() override { ++ticks; }
    int tab_;
    int timer_id_;
    int first = 0;
    int shown = 0;
    int ticks = 0;
};

class ControllerWithCardTest : public ControllerTest {
  protected:
    ControllerWithCardTest() : ControllerTest(0) { controller.RegisterPage(firmware); }
    CountingPage firmware{kTabFirmware, kFirmwareTimer};
};

TEST_F(ControllerWithCardTest, TimersFollowTheTabs) {
    controller.StartController();
    EXPECT_TRUE(controller.flags().card_present);
    // The first selection asked for the first half of the TRM and QDX-A pages.
    EXPECT_EQ(poster.queue.size(), 2u);
    poster.Drain();
    auto messages = LogMessages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2], "[GUI] PXIe 控制卡開啟 : 正常");
    EXPECT_EQ(messages.back(), "[TCP] 伺服器 : 已開啟備便");
    EXPECT_EQ(transport.calls, std::vector<std::string>{"Listen"});
    EXPECT_EQ(timers.Remaining(kReportPollTimer), 1000);

    controller.SelectTab(kTabAntenna);
    EXPECT_FALSE(timers.IsRunning(kMainRefreshTimer));
    EXPECT_EQ(timers.Remaining(kAntennaTimer), 1000);
    timers.Advance(1000);
    EXPECT_EQ(timers.Remaining(kAntennaTimer), 5000);
    EXPECT_EQ(controller.antenna_page().refreshes(), 1);
    timers.Advance(5000);
    EXPECT_EQ(controller.antenna_page().refreshes(), 2);

    controller.SelectTab(kTabFirmware);
    EXPECT_FALSE(timers.IsRunning(kAntennaTimer));
    EXPECT_EQ(timers.Remaining(kFirmwareTimer), 1000);

    controller.SelectTab(kTabMain);
    EXPECT_FALSE(timers.IsRunning(kFirmwareTimer));
    EXPECT_EQ(timers.Remaining(kMainRefreshTimer), 1500);
    // Set-up at the first selection only, at start-up; each page sees its own tab.
    EXPECT_EQ(firmware.first, 1);
    EXPECT_EQ(firmware.shown, 1);
    EXPECT_TRUE(poster.queue.empty());
    EXPECT_EQ(controller.antenna_page().refreshes(), 2);

    // A display-mode change shows within 2 s.
    controller.HandleControllerCommand(2, 2);
    EXPECT_EQ(timers.Remaining(kMainRefreshTimer), 2000);
}

TEST_F(ControllerWithCardTest, ReportPollReArmsEvery200Ms) {
    controller.StartController();
    timers.Advance(1000);
    EXPECT_EQ(timers.Remaining(kReportPollTimer), 200);
    timers.Advance(200 * 13);
    EXPECT_EQ(timers.Remaining(kReportPollTimer), 200);
}

TEST_F(ControllerTest, CloseQuestion) {
    controller.StartController();
    const auto logged = LogMessages().size();

    prompts.answers = {false};
    EXPECT_EQ(controller.HandleControllerCommand(2, 0), 0);
    poster.Drain();
    EXPECT_EQ(prompts.shown.back().text, "您確定要關閉 [ VANTU ] 程式嗎 ?             ");
    EXPECT_EQ(window.close_requests, 0);
    EXPECT_EQ(LogMessages().size(), logged);

    prompts.answers = {true};
    controller.HandleControllerCommand(2, 0);
    // The window closes after the handler returned.
    EXPECT_EQ(window.close_requests, 0);
    poster.Drain();
    EXPECT_EQ(window.close_requests, 1);
    auto messages = LogMessages();
    ASSERT_EQ(messages.size(), logged + 2);
    EXPECT_EQ(messages[logged], "關閉 VANTU GUI程式");
    EXPECT_EQ(messages[logged + 1], "--------------------------");
}

TEST_F(ControllerTest, CommandsAndElapsedTime) {
    controller.StartController();
    EXPECT_EQ(controller.HandleControllerCommand(2, 12), 0);
    EXPECT_EQ(window.minimise_requests, 1);
    EXPECT_EQ(controller.HandleControllerCommand(99, 1), 0);

    // Saves go to setup.ini and warn when it cannot be written.
    controller.shared().ref_line_colour = 0x123;
    EXPECT_EQ(controller.HandleControllerCommand(2, 10), 0);
    EXPECT_NE(dir.Read("setup.ini").find("REF_LINE_CLR= 0x123"), std::string::npos);

    // Posted commands run later, in order.
    controller.Post(2, 12);
    controller.Post(2, 12);
    EXPECT_EQ(window.minimise_requests, 1);
    poster.Drain();
    EXPECT_EQ(window.minimise_requests, 3);

    clock.micros = 1000;
    controller.MarkElapsedStart();
    clock.micros = 3500;
    clock.nanos = 250;
    EXPECT_DOUBLE_EQ(controller.ElapsedMicroseconds(), 2500.25);
}

TEST_F(ControllerWithCardTest, ShutdownStopsTheTimers) {
    controller.StartController();
    controller.ShutdownController();
    EXPECT_FALSE(timers.IsRunning(kReportPollTimer));
    EXPECT_FALSE(timers.IsRunning(kMainRefreshTimer));
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

}  // namespace
}  // namespace vantu
