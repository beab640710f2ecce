// Remote control over TCP as the main controller owns it: the server with its client
// slot, the dispatcher and the chassis commands, wired to each other.
#pragma once

#include "base/busy_gate.h"
#include "base/log_files.h"
#include "base/ports.h"
#include "base/settings.h"
#include "card/card_handle.h"
#include "controller/controller_flags.h"
#include "model/analyzer_page_model.h"
#include "model/main_page_model.h"
#include "pattern/opcode_table.h"
#include "pattern/pattern_loader.h"
#include "pattern/run_control.h"
#include "remote/chassis_commands.h"
#include "remote/command_dispatcher.h"
#include "remote/elapsed_timer.h"
#include "remote/gated_transport_events.h"
#include "remote/remote_transport.h"
#include "remote/tcp_server.h"

namespace vantu {

// Everything is owned by the main controller and outlives this object.
struct RemoteContext {
    RemoteTransport& transport;
    // Socket events wait behind a command or prompt in progress.
    BusyGate& gate;
    ElapsedTimer& elapsed;
    LogFiles& logs;
    ControllerFlags& flags;
    Timers& timers;
    Clock& clock;
    // The card is opened at start-up, after this object may have been made.
    CardHandle& card;
    const StationSettings& settings;
    PatternLoader& loader;
    const OpCodeTable& opcode_table;
    RunControl& run_control;
    MainPageModel& main_page;
    // Its TCP message list shows the remote traffic.
    AnalyzerPageModel& analyzer_page;
};

class RemoteControl {
  public:
    explicit RemoteControl(const RemoteContext& context);
    RemoteControl(const RemoteControl&) = delete;
    RemoteControl& operator=(const RemoteControl&) = delete;

    // Start-up, once the card opened: 0 when listening, 1 after a failure.
    int OpenServer() { return server_.OpenServer(); }
    // Shutdown: when the server is open, logs "[TCP] 伺服器通訊 : 已關閉" and closes it.
    void CloseServer() { server_.CloseServer(); }

    // The socket layer delivers its accept, data and close events here.
    TransportEvents& transport_events() { return gated_events_; }
    CCServer& server() { return server_; }
    RemoteDispatcher& dispatcher() { return dispatcher_; }

  private:
    CCServer server_;
    RemoteDispatcher dispatcher_;
    ChassisCommands chassis_;
    GatedTransportEvents gated_events_;
};

}  // namespace vantu
