// The PXIeCtrl card in-process: a 64 KiB BAR 0 window with the identification words,
// the sequencer, the report memory, the control code memory and the SPI controller with
// its serial NOR flash, each taking the time the real card takes. All calls come from
// one thread (the station's GUI thread).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <utility>

#include "base/ports.h"
#include "base/system_clock.h"
#include "card/bar0_map.h"
#include "sim/nor_flash.h"
#include "sim/sequencer.h"
#include "sim/spi_controller.h"

namespace vantu {

// The defaults are a fast chip for tests; the station takes its timings from
// simulation.ini, whose defaults are those of a real card.
struct SimulatedCardConfig {
    // The sequencer's time per control code word: 2048 words run 20 s.
    std::int64_t word_time_ns = 9'765'625;
    // SPI clock; 0 finishes every transfer as it starts.
    std::int64_t spi_clock_hz = 0;
    std::int64_t erase_busy_us = 20;
    std::int64_t program_busy_us = 2;
    // Time source of runs, transfers and flash busy times; null means the host's
    // monotonic clock.
    Clock* clock = nullptr;
};

// Called before the host reads a report memory word, with its BAR 0 offset, so that a
// chassis model can bring the report words up to date when they are looked at.
using ReportReadHook = std::function<void(std::uint32_t offset)>;

class SimulatedCard {
  public:
    static constexpr std::uint32_t kWindowBytes = 0x10000;
    static constexpr std::uint32_t kIdWordValue = 0x534E6374;
    static constexpr std::uint32_t kSequencerIdValue = 0x20250601;

    explicit SimulatedCard(const SimulatedCardConfig& config = {});
    SimulatedCard(const SimulatedCard&) = delete;
    SimulatedCard& operator=(const SimulatedCard&) = delete;

    // BAR 0 accesses at 32-bit aligned offsets inside the window; others read 0 and are
    // dropped (the driver refuses them before they get here).
    std::uint32_t Read32(std::uint32_t offset);
    void Write32(std::uint32_t offset, std::uint32_t value);

    // Report memory by word index 0..3583 (block n starts at 256 n); for the chassis model.
    std::uint32_t ReportWord(std::uint32_t index) const;
    void SetReportWord(std::uint32_t index, std::uint32_t value);
    void SetReportReadHook(ReportReadHook hook) { report_read_hook_ = std::move(hook); }
    // The report memory (BAR 0 offsets kReportMemory on) for the host to load directly,
    // which is exact as reading a report word changes nothing on the card; null while a
    // report read hook is installed, since the hook must see every read.
    std::uint32_t* DirectReportWords();
    // True from enable until stop or the last loaded word is done.
    bool IsControlCodeRunning() const { return sequencer_.IsBusy(); }
    // A card that stopped answering reads 0xFFFFFFFF everywhere and drops writes.
    void SetSilent(bool silent) { silent_ = silent; }
    SimulatedSequencer& sequencer() { return sequencer_; }

    // Control code memory by word index 0..2047.
    std::uint32_t ControlCodeWord(std::uint32_t index) const;
    std::uint32_t SequencerParameter() const { return Word(kSequencerParameter); }
    SimulatedNorFlash& flash() { return flash_; }
    const SimulatedSpiController& spi() const { return spi_; }

  private:
    std::uint32_t Word(std::uint32_t offset) const { return words_[offset / 4]; }
    // Words up to the last nonzero one: a cleared memory runs none.
    std::uint32_t LoadedWords() const;

    SystemClock host_clock_;
    Clock& clock_;
    SimulatedSequencer sequencer_;
    SimulatedNorFlash flash_;
    SimulatedSpiController spi_;
    std::array<std::uint32_t, kWindowBytes / 4> words_{};
    ReportReadHook report_read_hook_;
    bool silent_ = false;
};

}  // namespace vantu
