#include "sim/spi_controller.h"

#include <algorithm>
#include <span>

namespace vantu {

void SimulatedSpiController::WriteControl(std::uint32_t value) {
    control_ = value & ~kSpiStart;
    if ((value & kSpiStart) == 0 || (value & kSpiSelectFlash) == 0) {
        return;
    }
    const std::uint32_t command_bits =
        std::min((value >> kSpiCommandBitsShift) & kSpiCommandBitsMask, kSpiMaxCommandBits);
    const std::uint32_t data_bits = std::min(value & kSpiDataBitsMask, kSpiMaxDataBits);
    transferred_bits_ += command_bits + data_bits;
    std::int64_t transfer_ns = 0;
    if (clock_hz_ > 0) {
        transfer_ns =
            (std::int64_t{command_bits + data_bits} * 1'000'000'000 + clock_hz_ - 1) / clock_hz_;
        busy_until_ns_ = clock_.Nanoseconds() + transfer_ns;
    }
    // The command word is shifted out most significant byte first.
    std::array<std::uint8_t, 4> command{};
    const std::uint32_t command_bytes = command_bits / 8;
    for (std::uint32_t i = 0; i < command_bytes; ++i) {
        command[i] = static_cast<std::uint8_t>(command_ >> (8 * (command_bytes - 1 - i)));
    }
    flash_.Transfer(std::span(command).first(command_bytes),
                    std::span(buffer_).first(data_bits / 8), (transfer_ns + 999) / 1000);
}

std::uint32_t SimulatedSpiController::ReadControl() const {
    return clock_.Nanoseconds() < busy_until_ns_ ? control_ | kSpiStart : control_;
}

std::uint32_t SimulatedSpiController::ReadData(std::uint32_t word) const {
    const std::size_t base = static_cast<std::size_t>(word) * 4;
    return std::uint32_t{buffer_[base]} | std::uint32_t{buffer_[base + 1]} << 8 |
           std::uint32_t{buffer_[base + 2]} << 16 | std::uint32_t{buffer_[base + 3]} << 24;
}

void SimulatedSpiController::WriteData(std::uint32_t word, std::uint32_t value) {
    const std::size_t base = static_cast<std::size_t>(word) * 4;
    for (std::size_t i = 0; i < 4; ++i) {
        buffer_[base + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace vantu
