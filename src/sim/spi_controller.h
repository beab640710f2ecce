// The card's SPI controller: control word at 0x10, command word at 0x14 and the
// 256-byte data buffer at 0x100. The flash sees a transfer as it starts; the running
// bit then reads back set for the transfer's bit count at the SPI clock.
#pragma once

#include <array>
#include <cstdint>

#include "base/ports.h"
#include "card/bar0_map.h"
#include "sim/nor_flash.h"

namespace vantu {

class SimulatedSpiController {
  public:
    // A clock of 0 Hz finishes every transfer as it starts.
    SimulatedSpiController(SimulatedNorFlash& flash, Clock& clock, std::int64_t clock_hz)
        : flash_(flash), clock_(clock), clock_hz_(clock_hz) {}

    std::uint32_t ReadControl() const;
    // With the start bit: one transaction with the selected flash; without: configuration.
    void WriteControl(std::uint32_t value);
    std::uint32_t ReadCommand() const { return command_; }
    void WriteCommand(std::uint32_t value) { command_ = value; }
    // Buffer words, little-endian: byte i of a transfer is byte i of the buffer.
    std::uint32_t ReadData(std::uint32_t word) const;
    void WriteData(std::uint32_t word, std::uint32_t value);
    // Command and data bits of every transfer since construction.
    std::uint64_t transferred_bits() const { return transferred_bits_; }

  private:
    SimulatedNorFlash& flash_;
    Clock& clock_;
    std::int64_t clock_hz_;
    std::int64_t busy_until_ns_ = 0;
    std::uint64_t transferred_bits_ = 0;
    std::uint32_t control_ = 0;
    std::uint32_t command_ = 0;
    std::array<std::uint8_t, kSpiDataBytes> buffer_{};
};

}  // namespace vantu
