#include "app/firmware_page_lifecycle.h"

#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <tuple>

#include "fake_ports.h"
#include "pty_peer.h"
#include "sim/simulated_firmware.h"
#include "status/status_colours.h"

namespace vantu {
namespace {

using namespace testing;

class FirmwareLinkTest : public ::testing::Test {
  protected:
    FirmwareLinkTest() { station.com_port = 7; }

    ControllerFlags flags;
    FakePrompts prompts;
    FakeClock clock;
    QueuePoster poster;
    ReportMemory report;
    StationSettings station;
    std::ostringstream console;
    std::size_t most_progress = 0;
    FirmwarePageLifecycle link{FirmwarePageLifecycleContext{
        flags, prompts, clock, poster, report, station,
        [this] { most_progress = std::max(most_progress, link.model().progress); }, console}};
    FirmwarePageModel& page = link.model();
    // Port open, read button enabled, read under way.
    auto LinkState() const {
        return std::tuple(flags.serial_open, page.read_enabled, page.reading);
    }
};

TEST_F(FirmwareLinkTest, ReadsEveryModuleWithAbsentOnesGrey) {
    SimulatedFirmware firmware({5, 160}, 1000000);
    link.set_simulated_device(firmware.slave_path());
    station.com_device = "/dev/null";

    EXPECT_EQ(link.ReadFirmwareVersions(), 0);
    EXPECT_EQ(LinkState(), std::tuple(true, false, true));
    ASSERT_TRUE(poster.RunUntil([this] { return !page.reading; }));

    const auto& m0 = page.modules[0];
    EXPECT_EQ(m0[16].text, "0a1b20") << "entry 0 stands under Q7";
    EXPECT_EQ(m0[2].text, "0a1b27");
    EXPECT_EQ(m0[1].background, Rgb(255, 255, 255));
    for (int module : {5, 160}) {
        const auto& row = page.modules[static_cast<std::size_t>(module)];
        EXPECT_EQ(row[1].background, Rgb(150, 150, 150)) << module;
        EXPECT_EQ(row[10].text, "") << module;
    }
    EXPECT_EQ(page.modules[159][8].text, "0a1b24");
    EXPECT_EQ(LinkState(), std::tuple(false, true, false));
    EXPECT_GT(most_progress, 0u) << "progress reached the page while reading";
    EXPECT_EQ(clock.sleeps, std::vector<int>{100});
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(FirmwareLinkTest, PortThatDoesNotOpenWarnsAndLeavesTheButtonEnabled) {
    station.com_device = "/nonexistent/ttyUSB9";
    EXPECT_EQ(link.ReadFirmwareVersions(), 0);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.starts_with("無法開啟 [RS232] 串列埠[ 7 ]及讀取"));
    EXPECT_TRUE(
        prompts.shown[0].text.ends_with("USB 埠上.\n         \n裝置 : /nonexistent/ttyUSB9"));
    EXPECT_EQ(LinkState(), std::tuple(false, true, false));
    EXPECT_EQ(console.str(), "init : Open /nonexistent/ttyUSB9 Error\n");
}

TEST_F(FirmwareLinkTest, ShutdownDuringAReadStopsItAndClosesThePort) {
    SimulatedFirmware firmware({}, 115200);
    link.set_simulated_device(firmware.slave_path());
    link.ReadFirmwareVersions();
    ASSERT_TRUE(page.reading);
    link.Shutdown();
    EXPECT_EQ(clock.sleeps, std::vector<int>{500});
    EXPECT_EQ(std::pair(flags.serial_open, page.reading), std::pair(false, false));
    poster.RunUntil([] { return false; }, std::chrono::milliseconds(0));
    EXPECT_EQ(page.modules[0][16].text, "") << "a read stopped by the shutdown shows nothing";
    link.Shutdown();
    EXPECT_EQ(clock.sleeps.size(), 1u) << "nothing left to close";
}

TEST_F(FirmwareLinkTest, WhatTheLastReadMissedIsShown) {
    struct Case {
        std::size_t bytes;
        bool unplugged;
        std::string warning;
    };
    // Unplugged first: the port opens again for the next reads.
    for (const Case& c :
         {Case{0, true, " 連線中斷 : 韌體版本未讀取完成"}, Case{kVersionBlockBytes, false, ""},
          Case{100, false, "[QDX-A] 韌體版本資料不完整 : 收到 100 / 6272 位元組"}}) {
        // Chunks go out 30 ms apart: SA's prompt comes 60 ms before DA's answer.
        PtyPeer peer([&c](std::string_view received) -> std::vector<std::string> {
            if (!received.ends_with("DA\r")) {
                return {received == "\r" ? "\r\n>" : ""};
            }
            return {"SA\r\n>", "",
                    c.unplugged ? "DA" : "DA\r\n" + std::string(2 * c.bytes, '0') + "\r\nOK\r\n>"};
        });
        link.set_simulated_device(peer.path());
        console.str("");
        link.ReadFirmwareVersions();
        const std::clock_t cpu = std::clock();
        auto hung_up = std::chrono::steady_clock::now();
        if (c.unplugged) {
            peer.WaitReceived(7);
            // The peer hangs up once it has sent every chunk of its answer.
            peer.HangUp();
            hung_up = std::chrono::steady_clock::now();
        }
        ASSERT_TRUE(poster.RunUntil([this] { return !page.reading; }));
        if (c.unplugged) {
            // The reply ends at once, and the reader does not spin on the dead line.
            EXPECT_LT(std::chrono::steady_clock::now() - hung_up, std::chrono::milliseconds(100));
            EXPECT_LT(std::clock() - cpu, CLOCKS_PER_SEC / 10);
        }
        const std::string device = c.unplugged ? "[RS232] 串列埠 " + peer.path() : "";
        EXPECT_EQ(page.warning, device + c.warning);
        EXPECT_EQ(console.str(), c.unplugged ? "vantu: serial line " + peer.path() +
                                                   " hung up during the version read\n"
                                             : "");
    }
}

TEST_F(FirmwareLinkTest, UnitVersionsFromTheStatusWords) {
    report.sys_rpt_reg()[8] = 0x01230045;
    report.sys_rpt_reg()[16] = 0x0000ABCD;
    link.Tick();
    EXPECT_EQ((std::vector{page.units[0][3].text, page.units[0][6].text, page.units[8][3].text,
                           page.units[8][6].text}),
              (std::vector<std::string>{"1.23", "45", "0", "a.bcd"}));
}

}  // namespace
}  // namespace vantu
