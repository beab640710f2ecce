// The signal-analyzer page's instrument side on the simulated generator and the
// in-process analyzer, wired to a TCP server core with one client connected.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/analyzer_page_lifecycle.h"
#include "controller/controller_flags.h"
#include "fake_ports.h"
#include "model/analyzer_page_model.h"
#include "remote/command_dispatcher.h"
#include "remote_fakes.h"
#include "sim/simulated_analyzer.h"
#include "sim/simulated_generator.h"
#include "temp_dir.h"

namespace vantu::testing {

struct InstrumentStation {
    // The page runs on the simulators, or on the backends given; launch starts the
    // analysis software.
    explicit InstrumentStation(GeneratorDriver* generator_backend = nullptr,
                               CCVSA8960* link_backend = nullptr,
                               const std::string& recall_dir = "",
                               std::function<bool(const std::string&)> launch = {});

    // Sends the line and its CR; the replies, without CRs.
    std::vector<std::string> Command(const std::string& line);
    // Whether the page's message list holds the line.
    bool Listed(const std::string& line) const;
    // A setup file in the recall directory.
    void WriteSetup(const std::string& name, const std::string& text) const;

    TempDir dir;
    FakeClock clock;
    FakePrompts prompts;
    ManualTimers timers;
    QueuePoster poster;
    LogFiles logs;
    AnalyzerPageModel analyzer_page;
    MainPageModel main_page;
    SharedSettings shared;
    ControllerFlags flags;
    RecordingTransport transport;
    ClockElapsed elapsed{clock};
    RemoteDispatcher dispatcher;
    CCServer server;
    SimulatedGenerator generator{clock};
    SimulatedAnalyzer analyzer;
    std::ostringstream console;
    int control_code_stops = 0;
    AnalyzerPageLifecycle page;
    Timeline timeline;
};

}  // namespace vantu::testing
