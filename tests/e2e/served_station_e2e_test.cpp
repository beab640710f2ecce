// A simulated headless station served over real TCP sockets: the exact bytes a remote
// client receives, the files the station leaves on disk, a second station started in
// its directory, and its metrics endpoint scraped through a card that goes silent.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "station_process.h"

namespace vantu::testing {
namespace {

// The answer to one request on a fresh connection, which the endpoint closes after it.
std::string Get(int port, const std::string& path, const std::string& extra_header = "") {
    LoopbackClient client(static_cast<std::uint16_t>(port));
    client.Send("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra_header +
                "Connection: close\r\n\r\n");
    return client.Read(std::string::npos);
}

// What Prometheus 2.42 sends.
constexpr const char* kPrometheusAccept =
    "Accept: application/openmetrics-text;version=1.0.0,application/openmetrics-text;"
    "version=0.0.1;q=0.75,text/plain;version=0.0.4;q=0.5,*/*;q=0.1\r\n";

double SampleValue(const std::string& answer, const std::string& name) {
    const std::size_t at = answer.find("\n" + name + " ");
    return at == std::string::npos ? -1 : std::stod(answer.substr(at + name.size() + 2));
}

// Scrapes until done() holds for the answer or the deadline passed, within the rate.
std::string ScrapeUntil(int port, const std::string& header,
                        const std::function<bool(const std::string&)>& done,
                        std::chrono::steady_clock::time_point deadline) {
    std::string answer;
    while (!done(answer) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        answer = Get(port, "/metrics", header);
    }
    return answer;
}

TEST(ServedStation, AnswersWithExactBytesLeavesItsFilesAndShowsItsMetrics) {
    StationDir dir;
    std::string ini = ReadFile(dir.File("simulation.ini"));
    ini.insert(ini.find("[SIMULATION]\r\n") + 14, "WORD_TIME_US=1000\r\n");
    ini.insert(ini.find("\n[SCENARIO]") + 11, "\r\nDEAD=15-600 CARD-SILENT");
    std::ofstream(dir.File("simulation.ini"), std::ios::binary) << ini;
    const int port = FreeLoopbackPort();
    std::ofstream(dir.File("setup.ini"), std::ios::app)
        << "\r\n[METRICS]\r\nPORT=" << port << "\r\n";
    ServingStation station(dir);
    ASSERT_TRUE(station.ready()) << station.failure();
    EXPECT_TRUE(WaitForFileText(
        station.process().error_output_path(),
        "vantu: metrics on http://127.0.0.1:" + std::to_string(port) + "/metrics\n"));
    // A second station in the same directory leaves at once; this one goes on serving.
    StationProcess second(
        dir, {"--headless", "--simulate", "--port", std::to_string(FreeLoopbackPort())});
    EXPECT_EQ(second.WaitExit(10000), 0);
    EXPECT_EQ(second.error_output(),
              "vantu: a station already runs here; it was brought forward\n");
    LoopbackClient client(station.port());

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
        {"VSA_RD\r", "VSA_RD_FAIL\r"},
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
    // The metrics: first the whole report, then, once the card is silent from 15 s on, a
    // stale report, not an antenna of 78 °C elements with every module in fault. The
    // modules appear once the poll has read every report block.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(45);
    const std::string answer = ScrapeUntil(
        port, "",
        [](const std::string& a) {
            return a.find("\nvantu_module_faults{module=\"160\"") != std::string::npos;
        },
        deadline);
    ASSERT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << answer.substr(0, 300);
    EXPECT_NE(answer.find("Content-Type: text/plain; version=0.0.4"), std::string::npos);
    for (const char* sample : {"\nvantu_card_present 1\n", "\nvantu_remote_server_open 1\n",
                               "\nvantu_report_stale 0\n", "\nvantu_sequencer_busy 0\n"}) {
        EXPECT_NE(answer.find(sample), std::string::npos) << sample;
    }
    const std::string json = Get(port, "/status.json");
    EXPECT_TRUE(json.starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_NE(json.find("{\"card_present\":true,\"remote_server_open\":true,"), std::string::npos);

    const std::string stale = ScrapeUntil(
        port, kPrometheusAccept,
        [](const std::string& a) { return SampleValue(a, "vantu_report_stale") == 1; }, deadline);
    ASSERT_EQ(SampleValue(stale, "vantu_report_stale"), 1) << stale.substr(0, 2000);
    EXPECT_NE(stale.find("Content-Type: application/openmetrics-text; version=1.0.0"),
              std::string::npos);
    // How the age and failures grow while stale, and what a stale report leaves out, are
    // the renderer's and the report watch's tests.
    ASSERT_EQ(station.process().Stop(SIGTERM), 0);

    // One start and one shutdown in the log: the second station never opened it.
    const std::vector<std::string> log = LogMessages(dir.log_path());
    EXPECT_EQ(std::count(log.begin(), log.end(), "[GUI] VANTU 軟體版本 : VANTU V1.22"), 1);
    EXPECT_EQ(LastLogMessage(dir.log_path()), "[TCP] 伺服器通訊 : 已關閉");
}

}  // namespace
}  // namespace vantu::testing
