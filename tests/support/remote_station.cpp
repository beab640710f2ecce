#include "remote_station.h"

namespace vantu::testing {

RemoteStation::RemoteStation(bool with_card)
    : PatternStation(with_card),
      elapsed(clock),
      remote({.transport = transport,
              .gate = gate,
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
    remote.transport_events().OnConnectionRequested();
}

std::vector<std::string> RemoteStation::Command(const std::string& line) {
    remote.transport_events().OnDataReceived(line + "\r");
    return transport.TakeReplies();
}

}  // namespace vantu::testing
