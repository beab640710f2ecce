// Remote control of the real station: `vantu --headless --simulate --port N` in a copy
// of the example station, driven over a real TCP socket. Checks the exact bytes the
// socket receives and the CP950 lines of the operation log.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "station_process.h"

namespace vantu::testing {
namespace {

// A plain client socket: the bytes exactly as they arrive.
class RawClient {
  public:
    explicit RawClient(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawClient() { ::close(fd_); }

    bool connected() const { return connected_; }
    void Send(const std::string& bytes) { ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }

    // Reads until count bytes came, the peer closed, or the time is up.
    std::string Read(std::size_t count, int timeout_ms = 5000) {
        std::string bytes;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        while (bytes.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
                break;
            }
            char buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, std::min(sizeof buffer, count - bytes.size()), 0);
            if (n <= 0) {
                ended = true;
                break;
            }
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return bytes;
    }
    // Whatever arrives within the time: for commands that must send nothing.
    std::string ReadFor(int milliseconds) { return Read(4096, milliseconds); }

    bool ended = false;

  private:
    int fd_;
    bool connected_ = false;
};

// The parameter words of a pattern file as GET_OPCODE_PARAM reports them: "AAAA WWWWWWWW".
std::string ParameterData(const std::string& path, int number) {
    const std::string bytes = ReadFile(path);
    auto word = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value =
                value << 8 | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
        }
        return value;
    };
    const std::uint32_t start = word(0);
    const std::size_t index = 2 * static_cast<std::size_t>(number - 1);
    char text[24];
    std::snprintf(text, sizeof text, "%04X %08X",
                  (start + 4 * static_cast<std::uint32_t>(index)) & 0xFFFF, word(8 + 4 * index));
    return text;
}

class RemoteE2E : public ::testing::Test {
  protected:
    RemoteE2E()
        : station_dir(MakeStationCopy()),
          log_path(TodayLogPath(station_dir)),
          port(FreePort()),
          vantu(station_dir, {"--headless", "--simulate", "--port", std::to_string(port)}) {}
    ~RemoteE2E() override { std::filesystem::remove_all(station_dir); }

    // False when the station did not start its server.
    bool ServerReady() {
        return WaitForFileText(log_path, ToAnsi("[GUI] PXIe 控制卡開啟 : "), 10000) &&
               WaitForFileText(log_path, ToAnsi("[TCP] 伺服器 : 已開啟備便"), 3000);
    }

    // The operation log in UTF-8, without dates and times.
    std::vector<std::string> LogMessages() {
        std::vector<std::string> messages;
        const std::string text = FromAnsi(ReadFile(log_path));
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            end = end == std::string::npos ? text.size() : end;
            const std::string line = text.substr(pos, end - pos);
            const std::size_t comma = line.find(',');
            if (line.find(':') == std::string::npos || comma == std::string::npos) {
                pos = end + 1;
                continue;
            }
            messages.push_back(line.substr(comma + 1));
            pos = end + 1;
        }
        return messages;
    }

    // True when the lines appear in the log one right after the other.
    bool LoggedInOrder(const std::vector<std::string>& lines) {
        const std::vector<std::string> log = LogMessages();
        for (std::size_t i = 0; i + lines.size() <= log.size(); ++i) {
            if (std::equal(lines.begin(), lines.end(), log.begin() + static_cast<long>(i))) {
                return true;
            }
        }
        return false;
    }

    std::string station_dir;
    std::string log_path;
    int port;
    StationProcess vantu;
};

TEST_F(RemoteE2E, ChassisCommandsAnswerWithExactBytes) {
    ASSERT_TRUE(ServerReady()) << ReadFile(vantu.error_output_path());
    RawClient client(port);
    ASSERT_TRUE(client.connected());

    client.Send("PB\r");
    EXPECT_EQ(client.ReadFor(300), "");
    client.Send("PL beam_short.cfg\r");
    EXPECT_EQ(client.Read(8), std::string("PL_DONE\r", 8));

    const std::string data = ParameterData(station_dir + "/SP Pattern/beam_short.cfg", 2);
    const std::string get_reply = "OPCODE_PARAM  " + data + "\rGET_OPCODE_PARAM_DONE\r";
    client.Send("GET_OPCODE_PARAM 2\r");
    EXPECT_EQ(client.Read(get_reply.size()), get_reply);
    client.Send("SET_OPCODE_PARAM 2 0x1F\r");
    EXPECT_EQ(client.Read(22), "SET_OPCODE_PARAM_DONE\r");
    client.Send("GET_OPCODE_PARAM 0x2\r");
    const std::string after_set =
        "OPCODE_PARAM  " + data.substr(0, 4) + " 0000001F\rGET_OPCODE_PARAM_DONE\r";
    EXPECT_EQ(client.Read(after_set.size()), after_set);
    client.Send("GET_OPCODE_PARAM 0\r");
    EXPECT_EQ(client.Read(22), "GET_OPCODE_PARAM_FAIL\r");

    // The 2048-word pattern runs long enough for the next two polls to see it busy.
    client.Send("PL beam_full.cfg\r");
    EXPECT_EQ(client.Read(8), "PL_DONE\r");
    client.Send("PG 0\r");
    EXPECT_EQ(client.Read(8), "PG_DONE\r");
    client.Send("PB\r");
    EXPECT_EQ(client.Read(8), "SP_BUSY\r");
    client.Send("PB\r");
    EXPECT_EQ(client.ReadFor(300), "");
    client.Send("PS now\r");
    EXPECT_EQ(client.Read(8), "PS_DONE\r");
    client.Send("PB\r");
    EXPECT_EQ(client.Read(8), "SP_IDLE\r");

    client.Send("pl beam_short.cfg\r");
    EXPECT_EQ(client.Read(12), "NOT_SUPPORT\r");
    client.Send("PL BEAM_SHORT.cfg\r");
    EXPECT_EQ(client.Read(15), "FILE_NOT_EXIST\r");
    client.Send("VSG_RESET\r");
    EXPECT_EQ(client.Read(12), "NOT_SUPPORT\r");
    EXPECT_EQ(client.ReadFor(200), "");

    ASSERT_EQ(vantu.Stop(SIGTERM), 0);
    const std::string bytes = ReadFile(log_path);
    for (const char* line :
         {",[TCP] 伺服器 : 已開啟備便\n", ",[TCP] 伺服端 : 用戶端已請求連線 ...\n",
          ",[TCP] 伺服端接收 : PL beam_short.cfg\n", ",[TCP] PXIe/QDX 全型機箱載入執行碼 : 完成\n",
          ",[TCP] 讀取 OP CODE 位置 : Index[0x2]-[0xC008]\n", ",[TCP] 設定 OP CODE 狀態 : 正常\n",
          ",[TCP] 伺服器通訊 : 已關閉\n"}) {
        EXPECT_NE(bytes.find(ToAnsi(line)), std::string::npos) << line;
    }
    EXPECT_TRUE(
        LoggedInOrder({"[TCP] CALC Time Start : 0 us", "[TCP] 伺服端接收 : PS now",
                       "[TCP] PXIe/QDX 全型機箱控制 : 已停用", "--------------------------"}));
    EXPECT_TRUE(LoggedInOrder({"[TCP] 讀取 OP CODE 資料 : 0x" + data}));
    const std::vector<std::string> log = LogMessages();
    EXPECT_NE(std::find_if(log.begin(), log.end(),
                           [](const std::string& line) {
                               return line.starts_with("[TCP] CALC Time End : ") &&
                                      line.ends_with(" us");
                           }),
              log.end());
}

TEST_F(RemoteE2E, FramingOnTheWire) {
    ASSERT_TRUE(ServerReady()) << ReadFile(vantu.error_output_path());
    RawClient client(port);

    client.Send("PS\rPS x\r");
    EXPECT_EQ(client.Read(16), "PS_DONE\rPS_DONE\r");
    client.Send("PS\r\n");
    EXPECT_EQ(client.ReadFor(300), "");
    client.Send("PB\r");
    EXPECT_EQ(client.Read(20), "PS_DONE\rNOT_SUPPORT\r");
    client.Send("P");
    client.Send("S\r\r");
    EXPECT_EQ(client.Read(8), "PS_DONE\r");
    client.Send(std::string(3000, 'X') + "\rPS\r");
    EXPECT_EQ(client.Read(20), "NOT_SUPPORT\rPS_DONE\r");

    ASSERT_EQ(vantu.Stop(SIGTERM), 0);
    EXPECT_TRUE(LoggedInOrder(
        {"[TCP] 伺服端接收 : <0A>PB", "[TCP] 指令格式 : 不支援", "--------------------------"}));
    EXPECT_TRUE(LoggedInOrder({"[TCP] CALC Time Start : 0 us", "[TCP] 伺服端接收 : 指令過長",
                               "[TCP] 指令格式 : 不支援", "--------------------------"}));
}

TEST_F(RemoteE2E, SecondClientTakesOverAndTheFirstIsClosed) {
    ASSERT_TRUE(ServerReady()) << ReadFile(vantu.error_output_path());
    RawClient first(port);
    first.Send("PS\r");
    EXPECT_EQ(first.Read(8), "PS_DONE\r");

    RawClient second(port);
    EXPECT_EQ(first.Read(1), "");
    EXPECT_TRUE(first.ended);
    second.Send("PS\r");
    EXPECT_EQ(second.Read(8), "PS_DONE\r");
}

TEST(RemoteE2EPortInUse, StationRunsWithoutServer) {
    const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    const int port = FreePort();
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(holder, 1), 0);

    const std::string station = MakeStationCopy();
    {
        StationProcess vantu(station, {"--headless", "--simulate", "--port", std::to_string(port)});
        const std::string log = TodayLogPath(station);
        EXPECT_TRUE(WaitForFileText(log, ToAnsi("[GUI] PXIe 控制卡開啟 : "), 10000) &&
                    WaitForFileText(log, ToAnsi(",[TCP] 伺服器 : 開啟異常\n"), 3000))
            << ReadFile(vantu.error_output_path());
        EXPECT_EQ(vantu.Stop(SIGTERM), 0);
    }
    EXPECT_EQ(ReadFile(TodayLogPath(station)).find(ToAnsi("[TCP] 伺服器通訊 : 已關閉")),
              std::string::npos);
    ::close(holder);
    std::filesystem::remove_all(station);
}

// With 1 ms per word the 2048-word pattern runs 2.048 s: busy at once, idle by itself
// no sooner than that.
TEST(RemoteE2ESequencer, RunIsBusyForItsWordsThenIdle) {
    const std::string station = MakeStationCopy();
    std::string ini = ReadFile(station + "/simulation.ini");
    ini.insert(ini.find("[SIMULATION]\r\n") + 14, "WORD_TIME_US=1000\r\n");
    std::ofstream(station + "/simulation.ini", std::ios::binary) << ini;
    const int port = FreePort();
    {
        StationProcess vantu(station, {"--headless", "--simulate", "--port", std::to_string(port)});
        const std::string log = TodayLogPath(station);
        ASSERT_TRUE(WaitForFileText(log, ToAnsi("[TCP] 伺服器 : 已開啟備便"), 10000))
            << ReadFile(vantu.error_output_path());
        RawClient client(port);
        ASSERT_TRUE(client.connected());
        client.Send("PL beam_full.cfg\r");
        ASSERT_EQ(client.Read(8), "PL_DONE\r");
        const auto start = std::chrono::steady_clock::now();
        client.Send("PG 0\r");
        ASSERT_EQ(client.Read(8), "PG_DONE\r");
        client.Send("PB\r");
        EXPECT_EQ(client.Read(8), "SP_BUSY\r");
        // PB answers only a change, so it is asked again until the run ends.
        std::string reply;
        while (reply.empty() &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
            client.Send("PB\r");
            reply = client.ReadFor(50);
        }
        EXPECT_EQ(reply, "SP_IDLE\r");
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(2'048'000));
        EXPECT_EQ(vantu.Stop(SIGTERM), 0);
    }
    std::filesystem::remove_all(station);
}

}  // namespace
}  // namespace vantu::testing
