// A station directory, the fake ports and a simulated card wired to the pattern
// loader and run control, with readers for what they leave behind.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/log_files.h"
#include "base/settings.h"
#include "controller/controller_flags.h"
#include "fake_ports.h"
#include "model/analyzer_page_model.h"
#include "model/main_page_model.h"
#include "pattern/opcode_table.h"
#include "pattern/pattern_loader.h"
#include "pattern/run_control.h"
#include "sim/simulated_card_session.h"
#include "temp_dir.h"

namespace vantu::testing {

inline constexpr std::string_view kPatternDirName = "SP Pattern";

struct PatternStation {
    // Without a card the handle stays null and the card-present flag clear.
    explicit PatternStation(bool with_card = true);

    // Writes a pattern file into the pattern directory.
    void WritePattern(const std::string& name, std::uint32_t start,
                      const std::vector<std::uint32_t>& words) const;
    void WritePatternBytes(const std::string& name, const std::string& bytes) const;
    // Operation log and op_code.log lines in UTF-8, without their date and time.
    std::vector<std::string> LogLines() const;
    std::vector<std::string> OpCodeLines() const;
    std::uint32_t CardWord(std::uint32_t offset) const;
    // The control code memory as the card holds it now.
    std::vector<std::uint32_t> ControlCode() const;

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
};

}  // namespace vantu::testing
