#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <sstream>

#include "fake_ports.h"
#include "pty_peer.h"
#include "serial/monitor_client.h"
#include "serial/monitor_text.h"
#include "sim/firmware_monitor.h"
#include "sim/simulated_firmware.h"

namespace vantu {
namespace {

using testing::PtyPeer;

TEST(MonitorTextTest, SplitReply) {
    struct Case {
        std::string reply;
        std::string request;
        int count;
        std::vector<std::string> tokens;
    };
    const std::vector<Case> cases = {
        {"v\r\n>", "V", -1, {"V"}},
        {"mr 1\r\nab,cd\r\n>", "MR 1", 3, {"MR 1", "AB", "CD"}},
        {"V\r\n\r\nQDX-A FW V1.07\r\n>", "V", 2, {"V", "QDX-A FW V1.07"}},
        {"", "V", 0, {}},
        {std::string(40, 'a') + "\n>", "X", 1, {std::string(31, 'A')}},
    };
    for (const Case& c : cases) {
        std::string reply = c.reply;
        std::vector<std::string> tokens;
        EXPECT_EQ(SplitReply(reply, c.request, tokens), c.count) << c.reply;
        EXPECT_EQ(tokens, c.tokens) << c.reply;
    }
    std::string many;
    for (int i = 0; i < 20; ++i) {
        many += "t,";
    }
    std::vector<std::string> tokens;
    EXPECT_EQ(SplitReply(many, "X", tokens), 16) << "the token table holds 16";
}

TEST(MonitorTextTest, DataOperations) {
    const std::array<std::uint8_t, 5> bytes = {1, 2, 3, 4, 5};
    EXPECT_EQ(DataChecksum(0, bytes), 0x01020304u);
    const std::array<std::uint8_t, 4> two = {0, 0, 0, 2};
    EXPECT_EQ(DataChecksum(0xFFFFFFFF, two), 1u) << "wraps";

    const std::array<std::uint8_t, 3> in = {0x01, 0xF0, 0x35};
    std::array<std::uint8_t, 3> out{};
    ReverseBits(in, out);
    EXPECT_EQ(out, (std::array<std::uint8_t, 3>{0x80, 0x0F, 0xAC}));

    std::array<std::uint8_t, 4> parsed{};
    EXPECT_EQ(HexPairs("xx0A1bZZ33", 2, 10, parsed), 2u) << "stops at a pair that is not hex";
    EXPECT_EQ(HexPairs("0A0B0C0D0E0F", 0, 12, parsed), 4u) << "stops when the block is full";
    EXPECT_EQ(HexPairs("0A0B0C", 0, 3, parsed), 2u) << "a pair starting before the end counts";
    EXPECT_EQ(HexField("0x1234", 0, 10), 0x1234u);
    EXPECT_EQ(HexField("AB", 5, 10), 0u);
}

// Answers the wake-up, echoes each request and adds "OK" and the prompt.
std::vector<std::string> OkFirmware(std::string_view received) {
    if (received == "\r") {
        return {"\r\n>"};
    }
    return {std::string(received) + "\nOK\r\n>"};
}

TEST(MonitorClientTest, RequestsOnTheWire) {
    struct Case {
        std::string name;
        std::function<int(MonitorClient&)> run;
        std::string sent;
        int result;
    };
    std::array<std::uint8_t, 256> page{};
    std::iota(page.begin(), page.end(), 0);
    std::array<std::uint8_t, 64> dump{};
    const std::vector<Case> cases = {
        {"flash write rounds down",
         [](MonitorClient& m) { return m.MonitorFlashWrite(0x10, 0x2A, 0x1FF); }, "FW 10 2A 100\r",
         0},
        {"flash write below a page",
         [](MonitorClient& m) { return m.MonitorFlashWrite(0, 0, 0xFF); }, "", 1},
        {"dump length rounds down",
         [&](MonitorClient& m) { return static_cast<int>(m.MonitorDumpBytes(0xC0, 0x25, dump)); },
         "MD1 C0 20\r", 0},
        {"read", [](MonitorClient& m) { return static_cast<int>(m.MonitorRead(0xA)); }, "MR 000A\r",
         0},
        {"write", [](MonitorClient& m) { return m.MonitorWrite(0x1F0, 0xBEEF); }, "MW 1F0 BEEF\r",
         0},
        {"reset", [](MonitorClient& m) { return m.MonitorReset(); }, "R\r\r\r", 0},
        {"reversed page", [&](MonitorClient& m) { return m.MonitorFillPage(0x100, page, true); },
         "MF1 100\r03020100070605040B0A0908", 0},
    };
    for (const Case& c : cases) {
        PtyPeer peer(OkFirmware);
        std::ostringstream console;
        SerialPort port(console, {1, 2, 20});
        port.set_device(peer.path());
        ASSERT_EQ(port.OpenSerialPort(1, 115200, 'N', '\r'), kPortReady) << c.name;
        testing::FakeClock clock;
        MonitorClient monitor(port, clock, console);
        EXPECT_EQ(c.run(monitor), c.result) << c.name;
        const std::string sent = peer.WaitReceived(1 + c.sent.size()).substr(1);
        EXPECT_EQ(sent.substr(0, c.sent.size()), c.sent) << c.name;
    }
}

TEST(MonitorClientTest, AgainstTheSimulatedFirmware) {
    SimulatedFirmware firmware({5, 160}, 1000000);
    std::ostringstream console;
    SerialPort port(console);
    port.set_device(firmware.slave_path());
    ASSERT_EQ(port.OpenSerialPort(1, 115200, 'N', '\r'), kPortReady);
    testing::FakeClock clock;
    MonitorClient monitor(port, clock, console);

    ASSERT_EQ(monitor.ReadMonitorVersion(), 0);
    EXPECT_EQ(monitor.version().name, "QDX-A FW");
    EXPECT_EQ(monitor.version().major, 1);
    EXPECT_EQ(monitor.version().minor, 7);

    EXPECT_EQ(monitor.MonitorWrite(0x100, 0xDEADBEEF), 0);
    EXPECT_EQ(monitor.MonitorRead(0x100), 0xDEADBEEFu);
    EXPECT_EQ(monitor.MonitorChecksum(0x100, 4, 0xEFBEADDE, 0), 0) << "bytes in memory order";
    EXPECT_EQ(monitor.MonitorChecksum(0x100, 4, 0xDEADBEEF, 0), 2);
    EXPECT_EQ(monitor.MonitorChecksum(0xFFFF0, 4, 0, 0), -1) << "an error reply";

    std::vector<std::uint8_t> data(300);
    std::iota(data.begin(), data.end(), 7);
    EXPECT_GT(monitor.MonitorFillBlock(0x400, data, false), 0u);
    std::array<std::uint8_t, 0x200> back{};
    ASSERT_EQ(monitor.MonitorDumpBytes(0x400, 0x200, back), 0x200u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin()));
    EXPECT_TRUE(std::all_of(back.begin() + 300, back.end(), [](auto b) { return b == 0; }))
        << "the last page is padded with zeros";

    std::array<std::uint8_t, kVersionBlockBytes> block{};
    ASSERT_EQ(monitor.ReadAllVersions(block), kVersionBlockBytes);
    EXPECT_EQ(block, firmware.versions());
    // Module 5 is the last of column 0: unit 7, position 5, entries 40..47.
    EXPECT_EQ(block[7 * 448 + 39], 1);
    EXPECT_EQ(block[7 * 448 + 40], 0);
    EXPECT_EQ(block[7 * 448 + 47], 0);
    EXPECT_EQ(console.str(), "");
}

// Address and length that wrap past the top stay outside memory and flash.
TEST(FirmwareMonitorTest, RangesThatWrapPastTheTopAreRefused) {
    FirmwareMonitor monitor({});
    for (const std::string request :
         {"MD1 FFFFFFFFFFFFFFF0 20\r", "MF2 FFFFFFFFFFF00000 40000 1\r",
          "MF2 0 4000000000000001 1\r", "FW FFFFFFFFFFFFFF00 0 100\r"}) {
        EXPECT_EQ(monitor.Receive(request), request + "\nERR RANGE\r\n>");
    }
}

}  // namespace
}  // namespace vantu
