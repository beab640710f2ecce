// A serial NOR flash of the card's geometry behind an SPI bus: write enable latch,
// flag status ready bit with a busy time after erase and program, extended address
// register, 64 KiB sector erase to 0xFF, page program that only clears bits and wraps
// in its page, read and identification. Sectors are allocated on first program, so an
// untouched 64 MiB flash costs almost nothing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/ports.h"
#include "card/spi_flash.h"

namespace vantu {

class SimulatedNorFlash {
  public:
    // Accepted erase and page program commands since construction.
    struct Counters {
        std::size_t sector_erases = 0;
        std::size_t page_programs = 0;
    };

    SimulatedNorFlash(Clock& clock, std::int64_t erase_busy_us, std::int64_t program_busy_us);

    // One transaction while selected: the command phase (opcode, then address or register
    // byte) and the data phase, which a program consumes and a read fills. Unknown
    // commands, commands needing the write enable latch without it, and everything but
    // the flag status read while busy are ignored; an ignored read gives 0xFF bytes.
    // An erase or program starts when the chip select rises, transfer_us after now.
    void Transfer(std::span<const std::uint8_t> command, std::span<std::uint8_t> data,
                  std::int64_t transfer_us = 0);

    // Inspection for tests and tools, outside the busy rules.
    std::uint8_t ByteAt(std::uint32_t address) const;
    bool IsBusy() const;
    bool IsWriteEnabled() const { return write_enabled_; }
    std::uint8_t ExtendedAddress() const { return extended_address_; }
    std::size_t AllocatedSectors() const;
    const Counters& counters() const { return counters_; }

    // Erase and program of a protected sector are refused (the ready bit still comes back).
    void ProtectSector(std::uint32_t sector);
    // A chip that hangs: busy, and so deaf to everything but the flag status read.
    void SetStuckBusy(bool stuck) { stuck_busy_ = stuck; }

  private:
    using Sector = std::array<std::uint8_t, kCardFlash.sector_bytes>;

    std::uint32_t CommandAddress(std::span<const std::uint8_t> command) const;
    void Execute(const FlashCommand& command, std::span<const std::uint8_t> bytes,
                 std::span<std::uint8_t> data, std::int64_t transfer_us);
    void Erase(std::uint32_t address, std::int64_t transfer_us);
    void Program(std::uint32_t address, std::span<const std::uint8_t> data,
                 std::int64_t transfer_us);
    void Read(std::uint32_t address, std::span<std::uint8_t> data) const;
    std::uint8_t FlagStatus() const;
    void StartBusy(std::int64_t microseconds);

    Clock& clock_;
    std::int64_t erase_busy_us_;
    std::int64_t program_busy_us_;
    std::vector<std::unique_ptr<Sector>> sectors_;  // null: erased, all 0xFF
    std::vector<bool> protected_;
    std::int64_t busy_until_us_ = 0;
    bool write_enabled_ = false;
    bool stuck_busy_ = false;
    std::uint8_t extended_address_ = 0;
    Counters counters_;
};

}  // namespace vantu
