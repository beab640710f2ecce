#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "fake_ports.h"
#include "metrics/content_negotiation.h"
#include "metrics/http_request.h"
#include "metrics/http_response.h"
#include "metrics/metrics_settings.h"
#include "metrics/open_metrics.h"
#include "metrics/request_limits.h"
#include "metrics/station_snapshot.h"
#include "status/module_fields.h"
#include "temp_dir.h"

namespace vantu {
namespace {

// Samples by their series text ("name{labels}"); fails the test on a sample line without
// a value, a series twice, or a wrong end. The family headers are promtool's to check.
std::map<std::string, double> ParseExposition(const std::string& text,
                                              MetricsFormat format = MetricsFormat::kOpenMetrics) {
    std::map<std::string, double> samples;
    std::istringstream lines(text);
    std::string last;
    for (std::string line; std::getline(lines, line); last = line) {
        std::istringstream fields(line);
        std::string series;
        double value = 0;
        if (!line.starts_with("#")) {
            EXPECT_TRUE(static_cast<bool>(fields >> series >> value)) << line;
            EXPECT_TRUE(samples.emplace(series, value).second) << "twice: " << line;
        }
    }
    EXPECT_EQ(last == "# EOF", format == MetricsFormat::kOpenMetrics) << last;
    EXPECT_EQ(text.back(), '\n');
    return samples;
}

struct Model {
    Model() {
        std::ranges::generate(report.sys_rpt_reg(), std::mt19937(17));
        report.sys_rpt_reg()[kSpInterfaceWord] = kInterfaceNormal;
        report.sys_rpt_reg()[kInternalInterfaceWord] = 0x0000FFFE;
        for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
            report.MarkCaptured(block);
        }
        BuildModuleTable(modules);
        main_page.running = true;
        flags.card_present = true;
        poll.Count(ReportPoll::kRead, 1'000'000);
        poll.Count(ReportPoll::kFailed, 1'200'000);
        for (double seconds : {0.0005, 0.00051, 0.2, 11.0}) {
            remote.Observe(seconds);
        }
    }
    // The report poll completes a cycle of what the host copy holds.
    void CompleteCycle(std::int64_t at_us) {
        clock.micros = at_us;
        watch.Polled(ReportPoll::kRead, true);
    }
    StationSnapshot Take() const {
        return TakeSnapshot(
            {flags, main_page, report, modules, poll, watch, remote, [this] { return busy; }},
            3'500'000);
    }

    ControllerFlags flags;
    MainPageModel main_page;
    ReportMemory report;
    ModuleTable modules;
    PollCounters poll;
    testing::FakeClock clock;
    ReportWatch watch{report, clock, nullptr};
    LatencyHistogram remote;
    bool busy = true;
};

TEST(OpenMetrics, ScrapeParsesAndMatchesTheDecodedModel) {
    Model model;
    model.CompleteCycle(1'000'000);
    StationSnapshot snapshot = model.Take();
    snapshot.alarms.flood = true;
    snapshot.alarms.unacknowledged = {3, 2, 1};
    const std::map<std::string, double> samples =
        ParseExposition(RenderMetrics(snapshot, MetricsFormat::kOpenMetrics));

    const std::map<std::string, double> expected = {
        {"vantu_card_present", 1},
        {"vantu_running", 1},
        {"vantu_report_stale", 0},
        {"vantu_sequencer_busy", 1},
        {"vantu_build_info{version=\"V1.22\"}", 1},
        {"vantu_interface_normal{interface=\"sp\"}", 1},
        {"vantu_interface_normal{interface=\"internal\"}", 0},
        {"vantu_report_poll_failures_total", 1},
        {"vantu_report_poll_age_seconds", 2.5},
        // Bounds are inclusive and buckets cumulative; 11 s is only in +Inf.
        {"vantu_remote_command_duration_seconds_bucket{le=\"0.0005\"}", 1},
        {"vantu_remote_command_duration_seconds_bucket{le=\"0.001\"}", 2},
        {"vantu_remote_command_duration_seconds_bucket{le=\"10\"}", 3},
        {"vantu_remote_command_duration_seconds_bucket{le=\"+Inf\"}", 4},
        {"vantu_alarm_flood", 1},
        {"vantu_alarms_unacknowledged{priority=\"high\"}", 3},
        {"vantu_alarms_unacknowledged{priority=\"low\"}", 1},
    };
    for (const auto& [series, value] : expected) {
        ASSERT_EQ(samples.count(series), 1u) << series;
        EXPECT_DOUBLE_EQ(samples.at(series), value) << series;
    }
    EXPECT_EQ(samples.at("vantu_health_normal{group=\"rf\"}"),
              EvaluateHealth(model.report.reg_sts()).rf);

    // Every module as its pages decode it.
    for (const ModuleRecord& record : model.modules.records) {
        ModuleRecord copy = record;
        DecodeFields(model.report, copy, kViewSummary);
        const std::string module = "module=\"" + std::to_string(record.number) + "\"";
        EXPECT_EQ(samples.at("vantu_module_faults{" + module + ",column=\"" +
                             std::to_string(record.column) + "\",index=\"" +
                             std::to_string(record.index) + "\"}"),
                  ModuleFaultCount(copy, kViewSummary, false));
        DecodeFields(model.report, copy, kViewTemperature);
        for (int q = 0; q < kQChannels; ++q) {
            for (int e = 0; e < kElements; ++e) {
                ASSERT_EQ(
                    samples.at("vantu_element_temperature_celsius{" + module + ",q=\"" +
                               std::to_string(q) + "\",element=\"" + std::to_string(e) + "\"}"),
                    copy.q[q].temp[e]);
            }
        }
    }
    // Build 1, states 5, interfaces 2, health 4, modules, temperatures, poll 3,
    // histogram 13, alarms 6 and 3 priorities.
    EXPECT_EQ(samples.size(), 1u + 5 + 2 + 4 + 161 + 161 * 32 + 3 + 13 + 6 + 3);
    // The text format declares every family under its samples' name, counters with _total.
    const std::string text = RenderMetrics(snapshot, MetricsFormat::kText);
    EXPECT_EQ(ParseExposition(text, MetricsFormat::kText), samples);
    // Numbers as %.9g writes them, whole or not.
    for (const char* line : {"\nvantu_remote_command_duration_seconds_bucket{le=\"10\"} 3\n",
                             "\nvantu_remote_command_duration_seconds_sum 11.20101\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

// A card that stopped answering reads all ones: the cycle is stale, no report value is
// shown, the age runs from the last readable cycle and the cycle counts as a failure.
TEST(OpenMetrics, AStaleReportShowsNoReadings) {
    Model model;
    model.CompleteCycle(1'000'000);
    std::ranges::fill(model.report.sys_rpt_reg(), 0xFFFFFFFF);
    const StationSnapshot mid_cycle = model.Take();
    EXPECT_EQ(std::tuple(mid_cycle.report_stale, mid_cycle.poll.failures), std::tuple(true, 1u));
    model.CompleteCycle(3'000'000);
    const std::string text = RenderMetrics(model.Take(), MetricsFormat::kText);
    const std::map<std::string, double> samples = ParseExposition(text, MetricsFormat::kText);
    EXPECT_EQ(samples.at("vantu_report_stale"), 1);
    EXPECT_EQ(samples.at("vantu_report_poll_failures_total"), 2);
    EXPECT_DOUBLE_EQ(samples.at("vantu_report_poll_age_seconds"), 2.5);
    for (const char* absent :
         {"\nvantu_module_faults{", "\nvantu_element_temperature_celsius{",
          "\nvantu_health_normal{", "\nvantu_interface_normal{", "\nvantu_sequencer_busy "}) {
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
    }
}

// promtool reads the text format 0.0.4; the gzipped body is the same text.
TEST(OpenMetrics, PromtoolPassesTheTextFormatWhichGzipUnpacksWhole) {
    if (std::system("command -v promtool >/dev/null") != 0) {
        GTEST_SKIP() << "promtool is not installed (Debian package prometheus)";
    }
    Model model;
    model.CompleteCycle(1'000'000);
    testing::TempDir dir;
    const std::string text = RenderMetrics(model.Take(), MetricsFormat::kText);
    dir.Write("metrics.txt", text);
    dir.Write("metrics.gz", Gzip(text));
    for (const std::string& check :
         {"promtool check metrics < '" + dir.File("metrics.txt") + "'",
          "gzip -dc '" + dir.File("metrics.gz") + "' | cmp - '" + dir.File("metrics.txt") + "'"}) {
        EXPECT_EQ(std::system(check.c_str()), 0) << check;
    }
}

TEST(ContentNegotiation, AcceptListsWithQualities) {
    const struct {
        const char* header;
        const char* token;
        bool accepted;
    } cases[] = {
        {"application/openmetrics-text;version=1.0.0,text/plain;version=0.0.4;q=0.5",
         "application/openmetrics-text", true},
        {"text/plain;version=0.0.4;q=0.5,*/*;q=0.1", "application/openmetrics-text", false},
        {"Application/OpenMetrics-Text; q=0", "application/openmetrics-text", false},
        {"deflate, GZIP;q=0.5", "gzip", true},
        {"x-gzip", "gzip", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HeaderAccepts(c.header, c.token), c.accepted) << c.header;
    }
    EXPECT_FALSE(HeaderAccepts(std::nullopt, "gzip"));
    const std::string packed = Gzip(std::string(100'000, 'a'));
    EXPECT_TRUE(packed.starts_with("\x1f\x8b\x08")) << "a gzip member";
    EXPECT_LT(packed.size(), 1000u);
}

TEST(OpenMetrics, NothingUnreadIsShownAsAReading) {
    Model model;
    model.report.Zero();
    model.report.MarkCaptured(0);  // reg_sts lies in block 0
    model.poll = PollCounters{};
    const std::string text = RenderMetrics(model.Take(), MetricsFormat::kOpenMetrics);
    const std::map<std::string, double> samples = ParseExposition(text);
    EXPECT_EQ(samples.count("vantu_interface_normal{interface=\"sp\"}"), 1u);
    for (const char* absent : {"vantu_module_faults{", "\nvantu_report_poll_age_seconds "}) {
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
    }
    model.report.Zero();
    const std::string json = RenderStatusJson(model.Take());
    EXPECT_NE(json.find("\"interfaces\":null,\"health\":null"), std::string::npos) << json;
    EXPECT_NE(json.find("\"age_seconds\":null"), std::string::npos) << json;
    EXPECT_NE(json.find("\"modules\":[]}\n"), std::string::npos) << json;
}

TEST(MetricsSettings, EndpointOnlyWithAValidPort) {
    // The address and port served on, empty when nothing is; whether an error is named.
    struct Case {
        const char* ini;
        const char* served;
        bool error;
    };
    const Case cases[] = {
        {"[METRICS]\nADDRESS=0.0.0.0\n", "", false},
        {"[METRICS]\nPORT=9464\n", "127.0.0.1 9464", false},
        {"[METRICS]\nPORT=1\nADDRESS=10.0.0.2\n", "10.0.0.2 1", false},
        {"[METRICS]\nPORT=65536\n", "", true},
        {"[METRICS]\nPORT=94x\n", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        std::string error;
        const std::optional<MetricsEndpoint> endpoint =
            ReadMetricsEndpoint(IniFile::Parse(c.ini), error);
        EXPECT_EQ(endpoint ? endpoint->address + " " + std::to_string(endpoint->port) : "",
                  c.served);
        EXPECT_EQ(!error.empty(), c.error) << error;
    }
}

TEST(RequestRate, BurstThenSteadyRate) {
    RequestRate rate;
    struct Step {
        std::int64_t at_us;
        int requests;
        int admitted;
    };
    const Step steps[] = {
        {0, 12, 10},           // the burst
        {100'000, 1, 0},       // half a token back
        {200'000, 2, 1},       // one token
        {60'000'000, 15, 10},  // refilled to the burst, no more
        {50'000'000, 1, 0},    // a clock going back gives nothing
    };
    for (const Step& step : steps) {
        int admitted = 0;
        for (int i = 0; i < step.requests; ++i) {
            admitted += rate.Admit(step.at_us);
        }
        EXPECT_EQ(admitted, step.admitted) << step.at_us;
    }
}

// What the endpoint makes of a request head, fed whole and byte by byte.
TEST(HttpRequestReader, ReadsABoundedGetHeadAndRefusesEverythingElse) {
    using State = HttpRequestReader::State;
    const std::string header = "X-Padding: 0123456789abcdef\r\n";
    std::string small_headers;
    for (int i = 0; i < 1000; ++i) {
        small_headers += header;
    }
    const std::string many_headers =
        small_headers.substr(0, header.size() * (kMaxRequestHeaders + 1));
    struct Case {
        std::string head;
        State state;
        int refusal;
    };
    const Case cases[] = {
        {"GET /metrics?x=1 HTTP/1.1\r\nHost:  a b \r\n\r\nGET /second", State::kComplete, 0},
        {"HEAD /status.json HTTP/1.0\r\nContent-Length: 0\r\n\r\n", State::kComplete, 0},
        {"GET /metrics HTTP/1.1\r\nHost: x\r\n", State::kReading, 0},
        {"POST /metrics HTTP/1.1\r\nContent-Length: 0\r\n\r\n", State::kRefused, 405},
        {"GET / HTTP/1.1\r\nContent-Length: 209715200\r\n\r\n", State::kRefused, 413},
        {"GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", State::kRefused, 413},
        {"GET / HTTP/1.1\r\n" + small_headers + "\r\n", State::kRefused, 413},
        {"GET / HTTP/1.1\r\n" + many_headers + "\r\n", State::kRefused, 431},
        {"GET / HTTP/1.1\r\n" + std::string(kMaxMetricsRequestBytes, 'a'), State::kRefused, 413},
        {"GET /metrics\r\n\r\n", State::kRefused, 400},
        {"GET / HTTP/1.1\r\nno colon\r\n\r\n", State::kRefused, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head.substr(0, 40));
        HttpRequestReader whole;
        HttpRequestReader bytewise;
        whole.Feed(c.head);
        for (char byte : c.head) {
            bytewise.Feed(std::string_view(&byte, 1));
        }
        EXPECT_EQ(std::pair(whole.state(), whole.refusal()), std::pair(c.state, c.refusal));
        EXPECT_EQ(std::pair(bytewise.state(), bytewise.refusal()), std::pair(c.state, c.refusal));
    }
    HttpRequestReader reader;
    reader.Feed(cases[0].head);
    EXPECT_EQ(reader.request().target, "/metrics?x=1");
    EXPECT_EQ(reader.request().Header("host"), "a b");
    EXPECT_EQ(FindMetricsDocument(reader.request().target)->path, "/metrics");
    EXPECT_EQ(FindMetricsDocument("/metrics/x"), nullptr);
}

}  // namespace
}  // namespace vantu
