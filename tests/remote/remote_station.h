// A station directory with a pattern directory, the fake ports and a simulated card,
// wired to remote control as the main controller wires it, with one client connected.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/log_files.h"
#include "base/settings.h"
#include "fake_ports.h"
#include "model/analyzer_page_model.h"
#include "model/controller_flags.h"
#include "model/main_page_model.h"
#include "pattern/opcode_table.h"
#include "pattern/pattern_loader.h"
#include "pattern/run_control.h"
#include "remote/remote_control.h"
#include "remote_fakes.h"
#include "sim/simulated_card_session.h"
#include "temp_dir.h"

namespace vantu::testing {

struct RemoteStation {
    explicit RemoteStation(bool with_card = true);

    void WritePattern(const std::string& name, std::uint32_t start,
                      const std::vector<std::uint32_t>& words) const;
    // Sends the line and its CR as the client in the slot; the replies, without CRs.
    std::vector<std::string> Command(const std::string& line);
    std::uint32_t CardWord(std::uint32_t offset) const;

    TempDir dir;
    FakeClock clock;
    FakePrompts prompts;
    ManualTimers timers;
    std::unique_ptr<SimulatedCardSession> sim;
    CardHandle card = nullptr;
    LogFiles logs;
    OpCodeTable table;
    MainPageModel main_page;
    AnalyzerPageModel analyzer_page;
    ControllerFlags flags;
    StationSettings settings;
    std::vector<std::uint32_t> report_copy;
    PatternLoader loader;
    RunControl run;
    RecordingTransport transport;
    ClockElapsed elapsed;
    RemoteControl remote;

  private:
    std::size_t consumed_ = 0;
};

}  // namespace vantu::testing
