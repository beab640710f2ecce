#include "serial/serial_port.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <sstream>

#include "pty_peer.h"
#include "serial/line_settings.h"

namespace vantu {
namespace {

using testing::EchoFirmware;
using testing::PtyPeer;

constexpr ReplyPolling kQuickPolling{1, 2, 200};

std::vector<std::string> Answer(std::vector<std::string> chunks, std::string_view received) {
    return received == "\r" ? std::vector<std::string>{"\r\n>"} : chunks;
}

struct OpenPort {
    explicit OpenPort(PtyPeer& peer) : port(console, kQuickPolling) {
        port.set_device(peer.path());
        result = port.OpenSerialPort(3, 115200, 'N', '\r');
    }
    std::ostringstream console;
    SerialPort port;
    int result;
};

int CountEntries(const char* directory) {
    int count = 0;
    if (DIR* dir = ::opendir(directory)) {
        while (::readdir(dir) != nullptr) {
            ++count;
        }
        ::closedir(dir);
    }
    return count;
}

TEST(LineSettingsTest, ParityLettersRatesAndDevices) {
    struct Case {
        char letter;
        tcflag_t bits;
    };
    const tcflag_t mask = PARENB | PARODD | CMSPAR;
    for (const Case& c : {Case{'e', PARENB}, Case{'E', PARENB}, Case{'o', PARENB | PARODD},
                          Case{'M', PARENB | PARODD | CMSPAR}, Case{'s', PARENB | CMSPAR},
                          Case{'N', 0}, Case{'x', 0}}) {
        termios line{};
        line.c_cflag = CRTSCTS | CSTOPB | PARENB;
        line.c_iflag = IXON | IXOFF | IXANY | ICRNL;
        line.c_lflag = ECHO | ICANON;
        ASSERT_TRUE(ApplyLineSettings(line, 115200, ParityFromLetter(c.letter)));
        EXPECT_EQ(line.c_cflag & mask, c.bits) << c.letter;
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
        OpenPort open(peer);
        EXPECT_EQ(open.result, c.result) << c.name;
        EXPECT_EQ(peer.WaitReceived(1), "\r") << c.name << ": the wake-up is the terminator alone";
        EXPECT_TRUE(open.port.is_open()) << c.name;
        EXPECT_TRUE(open.port.reader_running()) << c.name;
        EXPECT_EQ(open.port.PendingBytes(), 0u) << c.name << ": queues purged";
    }

    PtyPeer peer(EchoFirmware);
    std::ostringstream console;
    SerialPort port(console);
    port.set_device("/nonexistent/tty");
    EXPECT_EQ(port.OpenSerialPort(1, 115200, 'N', '\r'), kPortNotOpened);
    EXPECT_EQ(port.OpenSerialPort(100, 115200, 'N', '\r'), kPortNotOpened);
    EXPECT_EQ(console.str(), "init : Open /nonexistent/tty Error\ninit : Open COM100 Error\n");
    EXPECT_FALSE(port.is_open());

    OpenPort first(peer);
    ASSERT_EQ(first.result, kPortReady);
    OpenPort second(peer);
    EXPECT_EQ(second.result, kPortNotOpened) << "the device is not shared";
    first.port.CloseSerialPort();
    OpenPort again(peer);
    EXPECT_EQ(again.result, kPortReady) << "closing releases the device";

    std::ostringstream quiet_console;
    SerialPort quiet(quiet_console);
    quiet.set_device(peer.path());
    again.port.CloseSerialPort();
    EXPECT_EQ(quiet.OpenSerialPortQuiet(1, 115200, 'E', '\r'), kPortReady);
    EXPECT_FALSE(quiet.reader_running());
}

TEST(SerialPortTest, WritesTheExactBytes) {
    PtyPeer peer(EchoFirmware);
    OpenPort open(peer);
    ASSERT_EQ(open.result, kPortReady);
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
        OpenPort open(peer);
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
    OpenPort open(peer);
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

}  // namespace
}  // namespace vantu
