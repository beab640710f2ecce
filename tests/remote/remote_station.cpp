#include "remote_station.h"

#include "card/bar0_map.h"
#include "card/card_ops.h"
#include "pattern/pattern_file.h"

namespace vantu::testing {

RemoteStation::RemoteStation(bool with_card)
    : sim(with_card ? OpenSimulatedCard({.clock = &clock}) : nullptr),
      card(sim ? sim->handle() : nullptr),
      logs(dir.path(), clock),
      report_copy(kReportWords, 0),
      loader(table, logs, prompts, main_page),
      run({.card = card,
           .flags = flags,
           .timers = timers,
           .clock = clock,
           .prompts = prompts,
           .logs = logs,
           .main_page = main_page,
           .analyzer_page = analyzer_page,
           .settings = settings,
           .loader = loader,
           .report_copy = report_copy}),
      elapsed(clock),
      remote({.transport = transport,
              .elapsed = elapsed,
              .logs = logs,
              .flags = flags,
              .timers = timers,
              .clock = clock,
              .card = card,
              .settings = settings,
              .loader = loader,
              .opcode_table = table,
              .run_control = run,
              .main_page = main_page,
              .analyzer_page = analyzer_page}) {
    dir.MakeDir("Log");
    dir.MakeDir("SP Pattern");
    logs.OpenLog();
    flags.card_present = card != nullptr;
    settings.pattern_dir_name = "SP Pattern";
    settings.pattern_dir = dir.File("SP Pattern");
    remote.transport_events().OnConnectionRequested();
}

void RemoteStation::WritePattern(const std::string& name, std::uint32_t start,
                                 const std::vector<std::uint32_t>& words) const {
    dir.Write("SP Pattern/" + name, EncodePattern(start, words));
}

std::vector<std::string> RemoteStation::Command(const std::string& line) {
    remote.transport_events().OnDataReceived(line + "\r");
    std::string bytes = transport.ReceivedBy(transport.client).substr(consumed_);
    consumed_ += bytes.size();
    std::vector<std::string> replies;
    for (std::size_t end; (end = bytes.find('\r')) != std::string::npos;) {
        replies.push_back(bytes.substr(0, end));
        bytes.erase(0, end + 1);
    }
    return replies;
}

std::uint32_t RemoteStation::CardWord(std::uint32_t offset) const {
    std::uint32_t value = 0;
    ReadCardRegister(card, offset, value);
    return value;
}

}  // namespace vantu::testing
