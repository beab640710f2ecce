#include "pattern_station.h"

#include "card/bar0_map.h"
#include "card/card_ops.h"
#include "log_lines.h"
#include "pattern/pattern_file.h"

namespace vantu::testing {
PatternStation::PatternStation(bool with_card)
    // A word takes a second, so no run ends by itself inside a test's waits.
    : sim(with_card ? OpenSimulatedCard({.word_time_ns = 1'000'000'000, .clock = &clock})
                    : nullptr),
      card(sim ? sim->handle() : nullptr),
      logs(dir.path(), clock),
      report_copy(kReportWords, 0x5A5A5A5A),
      loader(table, logs, prompts, main_page),
      run({card, flags, timers, clock, prompts, logs, main_page, analyzer_page, settings, loader,
           report_copy}) {
    dir.MakeDir("Log");
    dir.MakeDir(std::string(kPatternDirName));
    logs.OpenLog();
    flags.card_present = card != nullptr;
    if (card != nullptr) {
        // The card keeps the code of an earlier run until the first load or reset.
        WriteCardRegister(card, kControlCodeMemory + 4 * (kControlCodeWords - 1), 1);
    }
    settings.pattern_dir_name = kPatternDirName;
    settings.pattern_dir = dir.File(std::string(kPatternDirName));
}

void PatternStation::WritePattern(const std::string& name, std::uint32_t start,
                                  const std::vector<std::uint32_t>& words) const {
    WritePatternBytes(name, EncodePattern(start, words));
}

void PatternStation::WritePatternBytes(const std::string& name, const std::string& bytes) const {
    dir.Write(std::string(kPatternDirName) + "/" + name, bytes);
}

std::vector<std::string> PatternStation::LogLines() const {
    return LogMessages(dir.File("Log/2026-12-5.log"));
}

std::vector<std::string> PatternStation::OpCodeLines() const {
    return LogMessages(dir.File("op_code.log"));
}

std::uint32_t PatternStation::CardWord(std::uint32_t offset) const {
    std::uint32_t value = 0;
    ReadCardRegister(card, offset, value);
    return value;
}

std::vector<std::uint32_t> PatternStation::ControlCode() const {
    std::vector<std::uint32_t> words;
    for (std::uint32_t i = 0; i < kControlCodeWords; ++i) {
        words.push_back(CardWord(kControlCodeMemory + 4 * i));
    }
    return words;
}

}  // namespace vantu::testing
