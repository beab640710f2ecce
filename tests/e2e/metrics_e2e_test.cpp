// The metrics endpoint of a simulated headless station, scraped over loopback.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "station_process.h"

namespace vantu::testing {
namespace {

// The answer to one request on a fresh connection, which the endpoint closes after it.
std::string Exchange(int port, const std::string& request) {
    LoopbackClient client(static_cast<std::uint16_t>(port));
    client.Send(request);
    return client.Read(std::string::npos);
}

std::string Get(int port, const std::string& path, const std::string& extra_header = "") {
    return Exchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra_header +
                              "Connection: close\r\n\r\n");
}

std::string StatusLine(const std::string& answer) {
    return answer.substr(0, answer.find("\r\n"));
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

// The card goes silent from 15 s on: first the whole report, then a stale report, not
// an antenna of 78 °C elements with every module in fault.
TEST(MetricsEndpoint, ScrapesASimulatedStationThroughACardThatGoesSilent) {
    StationDir station;
    const int port = FreeLoopbackPort();
    std::ofstream(station.File("setup.ini"), std::ios::app)
        << "\r\n[METRICS]\r\nPORT=" << port << "\r\n";
    std::string simulation = ReadFile(station.File("simulation.ini"));
    simulation.insert(simulation.find("\n[SCENARIO]") + 11, "\r\nDEAD=15-600 CARD-SILENT");
    std::ofstream(station.File("simulation.ini"), std::ios::trunc) << simulation;
    StationProcess vantu(
        station, {"--headless", "--simulate", "--port", std::to_string(FreeLoopbackPort())});
    ASSERT_TRUE(WaitForFileText(
        vantu.error_output_path(),
        "vantu: metrics on http://127.0.0.1:" + std::to_string(port) + "/metrics\n", 10000))
        << vantu.error_output();

    // The modules appear once the poll has read every report block.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(45);
    const std::string answer = ScrapeUntil(
        port, "",
        [](const std::string& a) {
            return a.find("\nvantu_module_faults{module=\"160\"") != std::string::npos;
        },
        deadline);
    ASSERT_EQ(StatusLine(answer), "HTTP/1.1 200 OK") << answer.substr(0, 300);
    EXPECT_NE(answer.find("Content-Type: text/plain; version=0.0.4"), std::string::npos);
    for (const char* sample : {"\nvantu_card_present 1\n", "\nvantu_remote_server_open 1\n",
                               "\nvantu_report_stale 0\n", "\nvantu_sequencer_busy 0\n"}) {
        EXPECT_NE(answer.find(sample), std::string::npos) << sample;
    }
    const std::string json = Get(port, "/status.json");
    EXPECT_EQ(StatusLine(json), "HTTP/1.1 200 OK");
    EXPECT_NE(json.find("{\"card_present\":true,\"remote_server_open\":true,"), std::string::npos);

    const std::string stale = ScrapeUntil(
        port, kPrometheusAccept,
        [](const std::string& a) { return SampleValue(a, "vantu_report_stale") == 1; }, deadline);
    ASSERT_EQ(SampleValue(stale, "vantu_report_stale"), 1) << stale.substr(0, 2000);
    EXPECT_NE(stale.find("Content-Type: application/openmetrics-text; version=1.0.0"),
              std::string::npos);
    // How the age and failures grow while stale, and what a stale report leaves out, are
    // the renderer's and the report watch's tests.
    EXPECT_EQ(stale.find("\nvantu_module_faults{"), std::string::npos);
    EXPECT_EQ(vantu.Stop(SIGTERM), 0);
}

}  // namespace
}  // namespace vantu::testing
