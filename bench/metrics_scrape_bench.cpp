// One /metrics scrape of the full station (all 161 modules in the report, a fault
// history at its cap) as the GUI thread pays for it: that thread's CPU time from the
// connection to the last event of the scrape, the response read by a client thread.
// Plain text and gzipped OpenMetrics; the time should stay within 2 ms either way.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>

#include <array>
#include <string>
#include <thread>

#include "base/log_files.h"
#include "gui/metrics_server.h"
#include "quiet_chassis.h"
#include "status/report_capture.h"
#include "status/report_watch.h"

namespace {

using namespace vantu;

// Ten seconds pass between two calls: the scrapes never meet the rate limit.
class SteppingClock : public SystemClock {
  public:
    std::int64_t Microseconds() override { return now_us_ += 10'000'000; }

  private:
    std::int64_t now_us_ = 0;
};

struct FullStation : bench::QuietChassis {
    FullStation() : logs("/nonexistent", clock), watch(report, clock, &logs) {
        model->AttachToReads();
        BuildModuleTable(modules);
        for (std::uint32_t poll = 0; poll < kReportBlockCount; ++poll) {
            const ReportPoll result =
                FastReportRefresh(session->handle(), report, block, flags, timers, logs);
            watch.Polled(result, block == 0);
        }
        FillHistory();
    }

    // Every seventh source in fault, shifting by one every 30 s (slow enough not to
    // chatter), until the history holds as many alarms as it keeps.
    void FillHistory() {
        std::array<std::uint8_t, kFaultSourceCount> faults{};
        const std::int64_t now = SecondsOf(clock.Now());
        for (int step = 0; watch.history().entries().size() < FaultHistory::kMaxEntries; ++step) {
            for (std::size_t source = 0; source < faults.size(); ++source) {
                faults[source] = (source + static_cast<std::size_t>(step)) % 7 == 0;
            }
            const std::time_t at = static_cast<std::time_t>(now - 1200 + 30 * step);
            std::tm parts{};
            localtime_r(&at, &parts);
            watch.history().Record(faults, {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                                            parts.tm_hour, parts.tm_min, parts.tm_sec});
        }
    }

    StationSnapshot Snapshot() {
        StationSnapshot snapshot =
            TakeSnapshot(SnapshotSources{flags, main_page, report, modules, poll, watch, remote,
                                         [] { return false; }},
                         clock.Microseconds());
        snapshot.alarms = watch.history().Figures(clock.Now());
        return snapshot;
    }

    ReportMemory report;
    bench::NullTimers timers;
    ControllerFlags flags;
    MainPageModel main_page;
    ModuleTable modules;
    PollCounters poll;
    LatencyHistogram remote;
    LogFiles logs;
    ReportWatch watch;
    std::uint32_t block = 0;
};

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The whole answer to request, read until the server closes.
std::string Fetch(int port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
        char buffer[65536];
        ssize_t n;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
            answer.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return answer;
}

void Scrape(benchmark::State& state, const std::string& request) {
    SteppingClock server_clock;
    FullStation station;
    MetricsServer server([&] { return station.Snapshot(); }, server_clock);
    if (!server.Listen({"127.0.0.1", 0})) {
        state.SkipWithError("cannot listen");
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        QEventLoop loop;
        std::string answer;
        std::thread client([&] {
            answer = Fetch(server.port(), request);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        const double start = ThreadCpuSeconds();
        loop.exec();
        state.SetIterationTime(ThreadCpuSeconds() - start);
        client.join();
        if (!answer.starts_with("HTTP/1.1 200 OK")) {
            state.SkipWithError("no 200 answer");
            break;
        }
        bytes = answer.size();
    }
    state.counters["response_bytes"] = static_cast<double>(bytes);
    state.counters["history_entries"] =
        static_cast<double>(station.watch.history().entries().size());
}

void BM_ScrapeText(benchmark::State& state) {
    Scrape(state, "GET /metrics HTTP/1.1\r\nHost: bench\r\n\r\n");
}
BENCHMARK(BM_ScrapeText)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ScrapeOpenMetricsGzip(benchmark::State& state) {
    Scrape(state,
           "GET /metrics HTTP/1.1\r\nHost: bench\r\nAccept: application/openmetrics-text\r\n"
           "Accept-Encoding: gzip\r\n\r\n");
}
BENCHMARK(BM_ScrapeOpenMetricsGzip)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
