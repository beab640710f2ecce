#include "serial/serial_port.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <iterator>
#include <numeric>
#include <sstream>
#include <tuple>

#include "fake_ports.h"
#include "pty_peer.h"
#include "serial/line_settings.h"
#include "serial/monitor_client.h"
#include "serial/monitor_text.h"
#include "sim/firmware_monitor.h"
#include "sim/simulated_firmware.h"

namespace vantu {
namespace {

using testing::EchoFirmware;
using testing::PtyPeer;

constexpr ReplyPolling kQuickPolling{1, 2, 200};

std::vector<std::string> Answer(std::vector<std::string> chunks, std::string_view received) {
    return received == "\r" ? std::vector<std::string>{"\r\n>"} : chunks;
}

struct OpenPort {
    explicit OpenPort(const std::string& device, ReplyPolling polling = kQuickPolling)
        : port(console, polling) {
        port.set_device(device);
        result = port.OpenSerialPort(3, 115200, 'N', '\r');
    }
    std::ostringstream console;
    SerialPort port;
    int result;
};

long CountEntries(const char* directory) {
    using Entries = std::filesystem::directory_iterator;
    return std::distance(Entries(directory), Entries());
}

TEST(LineSettingsTest, ParityLettersRatesAndDevices) {
    using Letter = std::pair<char, tcflag_t>;
    const tcflag_t mask = PARENB | PARODD | CMSPAR;
    for (const auto& [letter, bits] :
         {Letter{'e', PARENB}, Letter{'E', PARENB}, Letter{'o', PARENB | PARODD},
          Letter{'M', PARENB | PARODD | CMSPAR}, Letter{'s', PARENB | CMSPAR}, Letter{'N', 0},
          Letter{'x', 0}}) {
        termios line{};
        line.c_cflag = CRTSCTS | CSTOPB | PARENB;
        line.c_iflag = IXON | IXOFF | IXANY | ICRNL;
        line.c_lflag = ECHO | ICANON;
        ASSERT_TRUE(ApplyLineSettings(line, 115200, ParityFromLetter(letter)));
        EXPECT_EQ(line.c_cflag & mask, bits) << letter;
        EXPECT_EQ(line.c_cflag & (CRTSCTS | CSTOPB | CSIZE), static_cast<tcflag_t>(CS8));
        EXPECT_EQ(line.c_iflag, static_cast<tcflag_t>(IGNBRK)) << "0x11 and 0x13 are data";
        EXPECT_EQ(line.c_lflag, 0u);
        EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B115200));
    }
    termios line{};
    EXPECT_FALSE(ApplyLineSettings(line, 12345, Parity::kNone));

    EXPECT_EQ(ComDevicePath(10, ""), "/dev/ttyS9");
    EXPECT_EQ(ComDevicePath(99, "/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(ComDevicePath(100, "/dev/ttyUSB0"), "");
    EXPECT_EQ(ComDevicePath(0, ""), "");
}

TEST(SerialPortTest, OpenResultsAndWhatTheyLeaveBehind) {
    struct Case {
        std::string name;
        PtyPeer::Script script;
        int result;
    };
    const std::vector<Case> cases = {
        {"answered", EchoFirmware, kPortReady},
        {"line feed first", [](std::string_view) { return std::vector<std::string>{"\n\r>"}; },
         kPortNoWakeUp},
        {"silent", {}, kPortNoWakeUp},
    };
    for (const Case& c : cases) {
        PtyPeer peer(c.script);
        OpenPort open(peer.path());
        EXPECT_EQ(open.result, c.result) << c.name;
        EXPECT_TRUE(open.port.is_open()) << c.name;
        EXPECT_TRUE(open.port.reader_running()) << c.name;
        EXPECT_EQ(open.port.PendingBytes(), 0u) << c.name << ": queues purged";
    }

    OpenPort missing("/nonexistent/tty");
    EXPECT_EQ(missing.result, kPortNotOpened);
    EXPECT_EQ(missing.port.OpenSerialPort(100, 115200, 'N', '\r'), kPortNotOpened);
    EXPECT_EQ(missing.console.str(),
              "init : Open /nonexistent/tty Error\ninit : Open COM100 Error\n");
    EXPECT_FALSE(missing.port.is_open());

    PtyPeer peer(EchoFirmware);
    OpenPort first(peer.path());
    ASSERT_EQ(first.result, kPortReady);
    OpenPort second(peer.path());
    EXPECT_EQ(second.result, kPortNotOpened) << "the device is not shared";
    // Once free again it opens quietly, without a reader.
    first.port.CloseSerialPort();
    EXPECT_EQ(second.port.OpenSerialPortQuiet(1, 115200, 'E', '\r'), kPortReady);
    EXPECT_FALSE(second.port.reader_running());
}

TEST(SerialPortTest, WritesTheExactBytes) {
    PtyPeer peer(EchoFirmware);
    OpenPort open(peer.path());
    ASSERT_EQ(open.result, kPortReady);
    // The wake-up is the terminator alone.
    open.port.SendCommand("MR 00A0");
    open.port.SendRaw(true, "0102");
    open.port.SendRaw(false, "X");
    open.port.SendByte('\x55');
    EXPECT_EQ(peer.WaitReceived(16), std::string("\rMR 00A0\r0102X\r\x55"));
}

TEST(SerialPortTest, ReplyReaders) {
    using Reader = std::function<std::string(SerialPort&)>;
    struct Case {
        std::string name;
        std::vector<std::string> chunks;
        Reader read;
        std::string reply;
        std::size_t left;
    };
    const Reader reply = [](SerialPort& p) { return p.ReadReply(64); };
    const Reader reply4 = [](SerialPort& p) { return p.ReadReply(4); };
    const auto until = [](int end) {
        return Reader([end](SerialPort& p) { return p.ReadReplyUntil(end, 64); });
    };
    const Reader available = [](SerialPort& p) { return p.ReadAvailable(64); };
    const Reader polled = [](SerialPort& p) { return p.PollReply(64); };
    const std::vector<Case> cases = {
        {"two batches", {"V\r\nQDX", "-A\r\n>"}, reply, "V\r\nQDX-A\r\n>", 0},
        {"prompt ends the first batch", {"AB>", "CD>"}, reply, "AB>", 3},
        {"cut to the capacity", {"0123456789>"}, reply4, "0123", 0},
        {"until prompt", {"AB>CD"}, until(kUntilPrompt), "AB>", 2},
        {"until 55 AA", {"1\xAA\x55\xAA\x32"}, until(kUntil55AA), "1\xAA\x55\xAA", 1},
        {"until terminator", {"AB\rCD"}, until(kUntilTerminator), "AB\r", 2},
        {"first batch only", {"AB", "CD>"}, available, "AB", 3},
        {"polled", {"AB", "CD>"}, polled, "ABCD>", 0},
    };
    for (const Case& c : cases) {
        PtyPeer peer([&c](std::string_view received) { return Answer(c.chunks, received); });
        OpenPort open(peer.path());
        ASSERT_EQ(open.result, kPortReady) << c.name;
        open.port.SendCommand("Q");
        EXPECT_EQ(c.read(open.port), c.reply) << c.name;
        // The rest of the answer may still be on its way from the peer.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (open.port.PendingBytes() != c.left && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(open.port.PendingBytes(), c.left) << c.name;
        EXPECT_EQ(open.console.str(), "") << c.name;
    }
}

TEST(SerialPortTest, SilenceEndsEveryReaderAfterTheIdlePolls) {
    PtyPeer peer([](std::string_view received) { return Answer({}, received); });
    OpenPort open(peer.path());
    ASSERT_EQ(open.result, kPortReady);
    for (auto read : {&SerialPort::PollReply, &SerialPort::ReadAvailable}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ((open.port.*read)(64), "");
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400))
            << "200 polls with a 2 ms sleep each";
    }
    EXPECT_EQ(open.port.ReadReply(64), "");
    EXPECT_EQ(open.console.str(), "TTT");

    EXPECT_EQ(open.port.ReadByte(), 0xFF);
    EXPECT_FALSE(open.port.PromptPending());
    EXPECT_EQ(open.console.str(), "TTTl0");
    EXPECT_EQ(open.port.WaitReply(20), 1);
    peer.Write("x>y");
    EXPECT_EQ(open.port.WaitReply(1000), 0);
    EXPECT_TRUE(open.port.PromptPending());
    open.port.SendCommand("V");
    EXPECT_EQ(open.port.WaitReply(20), 1) << "a request waits for its own prompt";
}

TEST(SerialPortTest, HundredOpensLeaveNoThreadOrDescriptor) {
    PtyPeer peer(EchoFirmware);
    const int descriptors = CountEntries("/proc/self/fd");
    const int threads = CountEntries("/proc/self/task");
    std::ostringstream console;
    SerialPort port(console, kQuickPolling);
    port.set_device(peer.path());
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(port.OpenSerialPort(1, 115200, 'N', '\r'), kPortReady) << i;
        port.CloseSerialPort();
    }
    EXPECT_EQ(CountEntries("/proc/self/fd"), descriptors);
    EXPECT_EQ(CountEntries("/proc/self/task"), threads);
    EXPECT_FALSE(port.reader_running());
}

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
    std::string many = "t,t,t,t,t,t,t,t,t,t,t,t,t,t,t,t,t,t,t,t,";
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
         [&](MonitorClient& m) { return m.MonitorDumpBytes(0xC0, 0x25, dump); }, "MD1 C0 20\r", 0},
        {"read", [](MonitorClient& m) { return m.MonitorRead(0xA); }, "MR 000A\r", 0},
        {"write", [](MonitorClient& m) { return m.MonitorWrite(0x1F0, 0xBEEF); }, "MW 1F0 BEEF\r",
         0},
        {"reset", [](MonitorClient& m) { return m.MonitorReset(); }, "R\r\r\r", 0},
        {"reversed page", [&](MonitorClient& m) { return m.MonitorFillPage(0x100, page, true); },
         "MF1 100\r03020100070605040B0A0908", 0},
    };
    for (const Case& c : cases) {
        PtyPeer peer(OkFirmware);
        OpenPort open(peer.path(), {1, 2, 20});
        ASSERT_EQ(open.result, kPortReady) << c.name;
        testing::FakeClock clock;
        MonitorClient monitor(open.port, clock, open.console);
        EXPECT_EQ(c.run(monitor), c.result) << c.name;
        const std::string sent = peer.WaitReceived(1 + c.sent.size()).substr(1);
        EXPECT_EQ(sent.substr(0, c.sent.size()), c.sent) << c.name;
    }
}

TEST(MonitorClientTest, AgainstTheSimulatedFirmware) {
    SimulatedFirmware firmware({5, 160}, 1000000);
    OpenPort open(firmware.slave_path(), {});
    ASSERT_EQ(open.result, kPortReady);
    testing::FakeClock clock;
    MonitorClient monitor(open.port, clock, open.console);

    ASSERT_EQ(monitor.ReadMonitorVersion(), 0);
    EXPECT_EQ(std::tuple(monitor.version().name, monitor.version().major, monitor.version().minor),
              std::tuple("QDX-A FW", 1, 7));

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
    EXPECT_EQ(open.console.str(), "");
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
