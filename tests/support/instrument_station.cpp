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

}  // namespace

InstrumentStation::InstrumentStation(GeneratorDriver* generator_backend, CCVSA8960* link_backend,
                                     const std::string& recall_dir,
                                     std::function<bool(const std::string&)> launch)
    : logs(dir.path(), clock),
      dispatcher(server, flags, timers),
      server(ServerContext{transport, logs, analyzer_page.tcp_messages, flags, elapsed},
             dispatcher),
      analyzer(dir.path()),
      // In the context's field order: no windows, no program name.
      page({generator_backend != nullptr ? *generator_backend : generator,
            link_backend != nullptr ? *link_backend : analyzer, nullptr, analyzer_page.tcp_messages,
            logs, shared, main_page, server, timers, poster, clock, prompts, console, dir.path(),
            "", std::move(launch), [this] { ++control_code_stops; }, recall_dir}),
      timeline(OpenedLog(dir, logs), analyzer_page.tcp_messages, transport) {
    dir.MakeDir("Recall Setup");
    flags.card_present = true;
    timers.on_tick = [this](int id) { page.HandleTimer(id); };
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
