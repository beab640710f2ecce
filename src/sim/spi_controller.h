// The card's SPI controller: control word at 0x10, command word at 0x14 and the
// 256-byte data buffer at 0x100. A transfer runs to its end as soon as it is started,
// so the running bit never reads back set.
#pragma once

#include <array>
#include <cstdint>

#include "card/bar0_map.h"
#include "sim/nor_flash.h"

namespace vantu {

class SimulatedSpiController {
  public:
    explicit SimulatedSpiController(SimulatedNorFlash& flash) : flash_(flash) {}

    std::uint32_t ReadControl() const { return control_; }
    // With the start bit: one transaction with the selected flash; without: configuration.
    void WriteControl(std::uint32_t value);
    std::uint32_t ReadCommand() const { return command_; }
    void WriteCommand(std::uint32_t value) { command_ = value; }
    // Buffer words, little-endian: byte i of a transfer is byte i of the buffer.
    std::uint32_t ReadData(std::uint32_t word) const;
    void WriteData(std::uint32_t word, std::uint32_t value);

  private:
    SimulatedNorFlash& flash_;
    std::uint32_t control_ = 0;
    std::uint32_t command_ = 0;
    std::array<std::uint8_t, kSpiDataBytes> buffer_{};
};

}  // namespace vantu
