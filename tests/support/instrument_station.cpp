#include "instrument_station.h"

#include <algorithm>

namespace vantu::testing {
namespace {

// The Log directory exists and today's log is open before the timeline reads it.
const LogFiles& OpenedLog(const TempDir& dir, LogFiles& logs) {
    dir.MakeDir("Log");
    logs.OpenLog();
    return logs;
}

template <typename Backend, typename Own>
Backend& Either(Backend* given, Own& own) {
    return given != nullptr ? *given : own;
}

}  // namespace

InstrumentStation::InstrumentStation(GeneratorDriver* generator_backend, CCVSA8960* link_backend,
                                     const std::string& recall_dir,
                                     std::function<bool(const std::string&)> launch)
    : logs(dir.path(), clock),
      dispatcher(server, flags, timers),
      server(ServerContext{transport, logs, analyzer_page.tcp_messages, flags, elapsed},
             dispatcher),
      analyzer(dir.path()),
      page(AnalyzerPageLifecycleContext{.generator = Either(generator_backend, generator),
                                        .link = Either(link_backend, analyzer),
                                        .windows = nullptr,
                                        .tcp_messages = analyzer_page.tcp_messages,
                                        .logs = logs,
                                        .shared = shared,
                                        .main_page = main_page,
                                        .server = server,
                                        .timers = timers,
                                        .poster = poster,
                                        .clock = clock,
                                        .prompts = prompts,
                                        .console = console,
                                        .station_dir = dir.path(),
                                        .program = "",
                                        .launch = std::move(launch),
                                        .stop_control_code = [this] { ++control_code_stops; },
                                        .recall_dir = recall_dir}),
      timeline(OpenedLog(dir, logs), analyzer_page.tcp_messages, transport) {
    dir.MakeDir("Recall Setup");
    flags.card_present = true;
    dispatcher.AddCommands(page.commands());
    server.OnConnectionRequested();
    analyzer_page.tcp_messages.Clear();
    timeline.Take();
}

std::vector<std::string> InstrumentStation::Command(const std::string& line) {
    server.OnDataReceived(line + "\r");
    return transport.TakeReplies();
}

bool InstrumentStation::Listed(const std::string& line) const {
    return std::ranges::find(analyzer_page.tcp_messages.lines(), line) !=
           analyzer_page.tcp_messages.lines().end();
}

void InstrumentStation::WriteSetup(const std::string& name, const std::string& text) const {
    dir.Write("Recall Setup/" + name, text);
}

}  // namespace vantu::testing
