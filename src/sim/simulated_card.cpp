#include "sim/simulated_card.h"

namespace vantu {
namespace {

bool InRange(std::uint32_t offset, std::uint32_t first, std::uint32_t bytes) {
    return offset >= first && offset - first < bytes;
}

constexpr std::uint32_t kReportBytes = kReportWords * 4;

}  // namespace

SimulatedCard::SimulatedCard(const SimulatedCardConfig& config)
    : clock_(config.clock != nullptr ? *config.clock : host_clock_),
      sequencer_(clock_, config.word_time_ns),
      flash_(clock_, config.erase_busy_us, config.program_busy_us),
      spi_(flash_, clock_, config.spi_clock_hz) {
    words_[kCardIdWord / 4] = kIdWordValue;
    words_[kSequencerId / 4] = kSequencerIdValue;
}

std::uint32_t SimulatedCard::Read32(std::uint32_t offset) {
    if (offset >= kWindowBytes || offset % 4 != 0) {
        return 0;
    }
    if (silent_) {
        // The model behind the report memory keeps running, so the silence can end.
        if (InRange(offset, kReportMemory, kReportBytes) && report_read_hook_) {
            report_read_hook_(offset);
        }
        return 0xFFFFFFFF;
    }
    switch (offset) {
        case kSpiControl:
            return spi_.ReadControl();
        case kSpiCommand:
            return spi_.ReadCommand();
        case kSequencerControl:
            return IsControlCodeRunning() ? kSequencerBusy : 0;
        default:
            break;
    }
    if (InRange(offset, kSpiData, kSpiDataBytes)) {
        return spi_.ReadData((offset - kSpiData) / 4);
    }
    if (InRange(offset, kReportMemory, kReportBytes) && report_read_hook_) {
        report_read_hook_(offset);
    }
    return Word(offset);
}

void SimulatedCard::Write32(std::uint32_t offset, std::uint32_t value) {
    if (offset >= kWindowBytes || offset % 4 != 0 || silent_) {
        return;
    }
    switch (offset) {
        case kCardIdWord:
        case kSequencerId:
            return;
        case kSpiControl:
            spi_.WriteControl(value);
            return;
        case kSpiCommand:
            spi_.WriteCommand(value);
            return;
        case kSequencerControl:
            if (value == kSequencerEnable) {
                sequencer_.Enable(LoadedWords());
            } else if (value == kSequencerStop) {
                sequencer_.Stop();
            }
            return;
        default:
            break;
    }
    if (InRange(offset, kSpiData, kSpiDataBytes)) {
        spi_.WriteData((offset - kSpiData) / 4, value);
        return;
    }
    words_[offset / 4] = value;
}

std::uint32_t SimulatedCard::ReportWord(std::uint32_t index) const {
    return index < kReportWords ? Word(kReportMemory + index * 4) : 0;
}

void SimulatedCard::SetReportWord(std::uint32_t index, std::uint32_t value) {
    if (index < kReportWords) {
        words_[kReportMemory / 4 + index] = value;
    }
}

std::uint32_t* SimulatedCard::DirectReportWords() {
    return report_read_hook_ ? nullptr : words_.data() + kReportMemory / 4;
}

std::uint32_t SimulatedCard::LoadedWords() const {
    std::uint32_t words = kControlCodeWords;
    while (words > 0 && ControlCodeWord(words - 1) == 0) {
        --words;
    }
    return words;
}

std::uint32_t SimulatedCard::ControlCodeWord(std::uint32_t index) const {
    return index < kControlCodeWords ? Word(kControlCodeMemory + index * 4) : 0;
}

}  // namespace vantu
