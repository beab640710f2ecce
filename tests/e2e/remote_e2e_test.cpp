// Remote control of the real station over a real TCP socket: the exact bytes the
// client receives, the files the station leaves on disk, and a second station started
// in its directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <vector>

#include "station_process.h"

namespace vantu::testing {
namespace {

TEST(RemoteE2E, CommandsAnswerWithExactBytesAndTheStationLeavesItsFiles) {
    StationDir dir;
    std::string ini = ReadFile(dir.File("simulation.ini"));
    ini.insert(ini.find("[SIMULATION]\r\n") + 14, "WORD_TIME_US=1000\r\n");
    std::ofstream(dir.File("simulation.ini"), std::ios::binary) << ini;
    ServingStation station(dir);
    ASSERT_TRUE(station.ready()) << station.failure();
    // A second station in the same directory leaves at once; this one goes on serving.
    StationProcess second(
        dir, {"--headless", "--simulate", "--port", std::to_string(FreeLoopbackPort())});
    EXPECT_EQ(second.WaitExit(10000), 0);
    EXPECT_EQ(second.error_output(),
              "vantu: a station already runs here; it was brought forward\n");
    LoopbackClient client(station.port());
    ASSERT_TRUE(client.connected());

    // With 1 ms per word the 2048-word pattern runs 2.048 s, then is idle by itself; PB
    // answers only a change, so it is asked again until the run ends.
    client.Send("PL beam_full.cfg\rPG 0\r");
    ASSERT_EQ(client.Read(16), "PL_DONE\rPG_DONE\r");
    const auto start = std::chrono::steady_clock::now();
    std::string reply;
    while (reply != "SP_IDLE\r" &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        client.Send("PB\r");
        reply = client.Read(8, 50);
    }
    EXPECT_EQ(reply, "SP_IDLE\r");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(2'048'000));

    // Idle already reported: nothing comes before XYZ's reply.
    const std::vector<std::pair<std::string, std::string>> exchanges = {
        {"PB\rXYZ\r", "NOT_SUPPORT\r"},
        // The instrument commands are the station's too; no analyzer software runs here.
        {"VSG_SET 2.4 -20\r", "VSG_SET_DONE\r"},
        {"VSA_RD\r", "VSA_RD_FAIL\r"},
        {"PL beam_short.cfg\r", "PL_DONE\r"},
        {"PL beam_short.cfg\r", "PL_DONE\r"},
        {"GET_OPCODE_PARAM 2\r", "OPCODE_PARAM  C008 000B0025\rGET_OPCODE_PARAM_DONE\r"},
    };
    for (const auto& [sent, expected] : exchanges) {
        client.Send(sent);
        EXPECT_EQ(client.Read(expected.size()), expected) << sent;
    }
    // Simulated faults reach the day's fault file; its bytes are the history's test.
    std::string faults = dir.log_path();
    faults.replace(faults.size() - 4, 4, ".faults.csv");
    EXPECT_TRUE(WaitForFileText(faults, ",fault,", 15000));
    ASSERT_EQ(station.process().Stop(SIGTERM), 0);

    // The second load started op_code.log afresh; the listing's lines are the loader's test.
    const std::string op_code = ReadFile(dir.File("op_code.log"));
    EXPECT_EQ(std::count(op_code.begin(), op_code.end(), '\n'), 10);
    EXPECT_EQ(LogMessages(dir.File("op_code.log")).back(),
              "cnt[07] index[03] addr[0000C01C] cmd [13000003]");

    // One start and one shutdown in the log: the second station never opened it.
    const std::vector<std::string> log = LogMessages(dir.log_path());
    EXPECT_EQ(std::count(log.begin(), log.end(), "[GUI] VANTU 軟體版本 : VANTU V1.22"), 1);
    EXPECT_EQ(log.back(), "[TCP] 伺服器通訊 : 已關閉");
}

}  // namespace
}  // namespace vantu::testing
