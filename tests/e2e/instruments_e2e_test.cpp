// The instrument commands on the real station and the real stand-in analyzer:
// `vantu --headless --simulate` and `vantu-vsa-sim` serving its local socket in the
// same station directory.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "base/encoding.h"
#include "station_process.h"

namespace vantu::testing {
namespace {

// vantu-vsa-sim in the station directory, stopped with SIGTERM when it goes.
class StandIn {
  public:
    explicit StandIn(const StationDir& dir) : pid_(::fork()) {
        if (pid_ == 0) {
            if (::chdir(dir.path().c_str()) != 0 || ::setenv("HOME", dir.home().c_str(), 1) != 0 ||
                ::setenv("XDG_RUNTIME_DIR", dir.runtime().c_str(), 1) != 0) {
                ::_exit(126);
            }
            ::execl(VANTU_VSA_SIM_BINARY, VANTU_VSA_SIM_BINARY, nullptr);
            ::_exit(127);
        }
    }
    ~StandIn() {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

  private:
    pid_t pid_;
};

TEST(InstrumentsE2E, GeneratorAndStandInAnalyzerOverTcp) {
    StationDir dir;
    ServingStation station(dir);
    ASSERT_TRUE(station.ready()) << station.failure();
    LoopbackClient client(station.port());
    ASSERT_TRUE(client.connected());
    const auto exchange = [&](const std::string& line, const std::string& replies) {
        client.Send(line + "\r");
        EXPECT_EQ(client.Read(replies.size(), 10000), replies) << line;
    };

    // No analyzer software yet: the link does not answer.
    exchange("VSA_RD", "VSA_RD_FAIL\r");
    exchange("VSG_SET 2.4 -20", "VSG_SET_DONE\r");
    exchange("VSG_OPEN", "VSG_OPEN_DONE\r");
    exchange("VSG_RF_ON", "VSG_RFON_DONE\r");

    StandIn stand_in(dir);
    ASSERT_TRUE(
        WaitUntil([&] { return std::filesystem::exists(dir.File(".vantu-vsa.sock")); }, 10000));
    exchange("VSA_RD", "VSA_RD 2.4GHz -20.000dBm -20.000dBm \rVSA_RD_DONE\r");
    exchange("VSA_SET_MRK2_FREQ 2404 MHz", "VSA_SET_MRK2_DON\r");
    exchange("VSA_SET_SPAN 1 GHz", "VSA_SET_SPAN_FAIL\r");
    exchange("VSA_RECALL wlan_2g4.setx", "VSA_RECALL_DONE\r");
    exchange("VSA_RD", "VSA_RD 2.4GHz -20.000dBm -60.000dBm -20.000dBm -20.000dBm \rVSA_RD_DONE\r");

    EXPECT_EQ(station.process().Stop(SIGTERM), 0);
    const std::string log = FromAnsi(ReadFile(dir.log_path()));
    EXPECT_NE(log.find("RF Output : ON "), std::string::npos);
    EXPECT_NE(log.find("[GUI][Exit] 關閉 VSG 輻射功能"), std::string::npos);
    EXPECT_NE(log.find("[89600 VSA] 軟體 : SPan 單位設定錯誤"), std::string::npos);
}

}  // namespace
}  // namespace vantu::testing
