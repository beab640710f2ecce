// The instrument commands on the real station and the real stand-in analyzer:
// `vantu --headless --simulate` with its own HOME and runtime directory, and
// `vantu-vsa-sim` serving its local socket in the same station directory.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/encoding.h"
#include "station_process.h"

namespace vantu::testing {
namespace {

using Clock = std::chrono::steady_clock;

// Lines ending in CR as the station answers them.
class LineClient {
  public:
    explicit LineClient(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~LineClient() { ::close(fd_); }
    bool connected() const { return connected_; }

    // Sends the command and reads count replies.
    std::vector<std::string> Command(const std::string& line, std::size_t count = 1) {
        const std::string bytes = line + "\r";
        ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        std::vector<std::string> replies;
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (replies.size() < count && Clock::now() < deadline) {
            const auto end = pending_.find('\r');
            if (end != std::string::npos) {
                replies.push_back(pending_.substr(0, end));
                pending_.erase(0, end + 1);
                continue;
            }
            pollfd ready{fd_, POLLIN, 0};
            char buffer[1024];
            const ssize_t n =
                ::poll(&ready, 1, 200) == 1 ? ::recv(fd_, buffer, sizeof buffer, 0) : 0;
            if (n > 0) {
                pending_.append(buffer, static_cast<std::size_t>(n));
            }
        }
        return replies;
    }

  private:
    int fd_;
    bool connected_ = false;
    std::string pending_;
};

bool WaitForPath(const std::string& path, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!std::filesystem::exists(path)) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class InstrumentsE2E : public ::testing::Test {
  protected:
    InstrumentsE2E() : station_dir(MakeStationCopy()), port(FreePort()) {
        // The station and the stand-in get a home and runtime directory of their own.
        const std::string home = station_dir + "/home";
        const std::string runtime = station_dir + "/run";
        std::filesystem::create_directory(home);
        ::mkdir(runtime.c_str(), 0700);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        vantu = std::make_unique<StationProcess>(
            station_dir,
            std::vector<std::string>{"--headless", "--simulate", "--port", std::to_string(port)});
    }
    ~InstrumentsE2E() override {
        StopStandIn();
        vantu.reset();
        std::filesystem::remove_all(station_dir);
    }

    bool ServerReady() {
        return WaitForFileText(TodayLogPath(station_dir), ToAnsi("[TCP] 伺服器 : 已開啟備便"),
                               10000);
    }

    bool StartStandIn() {
        stand_in_ = ::fork();
        if (stand_in_ == 0) {
            if (::chdir(station_dir.c_str()) != 0) {
                ::_exit(126);
            }
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::execl(VANTU_VSA_SIM_BINARY, VANTU_VSA_SIM_BINARY, nullptr);
            ::_exit(127);
        }
        return WaitForPath(station_dir + "/.vantu-vsa.sock", 10000);
    }

    void StopStandIn() {
        if (stand_in_ > 0) {
            ::kill(stand_in_, SIGTERM);
            ::waitpid(stand_in_, nullptr, 0);
            stand_in_ = -1;
        }
    }

    std::string station_dir;
    int port;
    std::unique_ptr<StationProcess> vantu;
    pid_t stand_in_ = -1;
};

TEST_F(InstrumentsE2E, GeneratorAndStandInAnalyzerOverTcp) {
    ASSERT_TRUE(ServerReady());
    LineClient client(port);
    ASSERT_TRUE(client.connected());
    using Lines = std::vector<std::string>;

    // No analyzer software yet: the link does not answer.
    EXPECT_EQ(client.Command("VSA_RD"), Lines{"VSA_RD_FAIL"});
    EXPECT_EQ(client.Command("VSG_SET 2.4 -20"), Lines{"VSG_SET_DONE"});
    EXPECT_EQ(client.Command("VSG_OPEN"), Lines{"VSG_OPEN_DONE"});
    EXPECT_EQ(client.Command("VSG_RF_ON"), Lines{"VSG_RFON_DONE"});

    ASSERT_TRUE(StartStandIn());
    EXPECT_EQ(client.Command("VSA_RD", 2),
              (Lines{"VSA_RD 2.4GHz -20.000dBm -20.000dBm ", "VSA_RD_DONE"}));
    EXPECT_EQ(client.Command("VSA_SET_MRK2_FREQ 2404 MHz"), Lines{"VSA_SET_MRK2_DON"});
    EXPECT_EQ(client.Command("VSA_SET_SPAN 1 GHz"), Lines{"VSA_SET_SPAN_FAIL"});
    EXPECT_EQ(client.Command("VSA_RECALL wlan_2g4.setx"), Lines{"VSA_RECALL_DONE"});
    EXPECT_EQ(client.Command("VSA_RD", 2),
              (Lines{"VSA_RD 2.4GHz -20.000dBm -60.000dBm -20.000dBm -20.000dBm ", "VSA_RD_DONE"}));

    EXPECT_EQ(vantu->Stop(SIGTERM), 0);
    const std::string log = FromAnsi(ReadFile(TodayLogPath(station_dir)));
    EXPECT_NE(log.find("RF Output : ON "), std::string::npos);
    EXPECT_NE(log.find("[GUI][Exit] 關閉 VSG 輻射功能"), std::string::npos);
    EXPECT_NE(log.find("[89600 VSA] 軟體 : SPan 單位設定錯誤"), std::string::npos);
}

}  // namespace
}  // namespace vantu::testing
