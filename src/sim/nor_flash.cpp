#include "sim/nor_flash.h"

#include <algorithm>

namespace vantu {
namespace {

constexpr std::uint32_t kSectorCount = kCardFlash.size_bytes / kCardFlash.sector_bytes;

const FlashCommand* FindCommand(std::uint8_t code) {
    for (const FlashCommand& command : kFlashCommands) {
        if (command.code == code) {
            return &command;
        }
    }
    return nullptr;
}

}  // namespace

SimulatedNorFlash::SimulatedNorFlash(Clock& clock, std::int64_t erase_busy_us,
                                     std::int64_t program_busy_us)
    : clock_(clock),
      erase_busy_us_(erase_busy_us),
      program_busy_us_(program_busy_us),
      sectors_(kSectorCount),
      protected_(kSectorCount, false) {}

void SimulatedNorFlash::Transfer(std::span<const std::uint8_t> command,
                                 std::span<std::uint8_t> data, std::int64_t transfer_us) {
    const FlashCommand* known = command.empty() ? nullptr : FindCommand(command[0]);
    if (known == nullptr || command.size() < known->command_bytes) {
        return;
    }
    if (known->data == FlashDataPhase::kFromFlash) {
        std::fill(data.begin(), data.end(), 0xFF);
    }
    if (known->code != kFlashReadFlagStatus && IsBusy()) {
        return;
    }
    if (known->needs_write_enable && !write_enabled_) {
        return;
    }
    Execute(*known, command, data, transfer_us);
}

void SimulatedNorFlash::Execute(const FlashCommand& command, std::span<const std::uint8_t> bytes,
                                std::span<std::uint8_t> data, std::int64_t transfer_us) {
    switch (command.code) {
        case kFlashWriteEnable:
            write_enabled_ = true;
            break;
        case kFlashWriteDisable:
            write_enabled_ = false;
            break;
        case kFlashReadFlagStatus:
            std::fill(data.begin(), data.end(), FlagStatus());
            break;
        case kFlashReadId:
            std::fill(data.begin(), data.end(), 0);
            std::copy_n(kCardFlash.id.begin(), std::min(data.size(), kCardFlash.id.size()),
                        data.begin());
            break;
        case kFlashWriteExtendedAddress:
            extended_address_ = bytes[1];
            write_enabled_ = false;
            break;
        case kFlashReadExtendedAddress:
            std::fill(data.begin(), data.end(), 0);
            if (!data.empty()) {
                data[0] = extended_address_;
            }
            break;
        case kFlashSectorErase:
            ++counters_.sector_erases;
            Erase(CommandAddress(bytes), transfer_us);
            break;
        case kFlashPageProgram:
            ++counters_.page_programs;
            Program(CommandAddress(bytes), data, transfer_us);
            break;
        case kFlashRead:
            Read(CommandAddress(bytes), data);
            break;
    }
}

std::uint8_t SimulatedNorFlash::ByteAt(std::uint32_t address) const {
    const std::uint32_t inside = address % kCardFlash.size_bytes;
    const std::unique_ptr<Sector>& sector = sectors_[inside / kCardFlash.sector_bytes];
    return sector ? (*sector)[inside % kCardFlash.sector_bytes] : 0xFF;
}

bool SimulatedNorFlash::IsBusy() const {
    return stuck_busy_ || clock_.Microseconds() < busy_until_us_;
}

std::size_t SimulatedNorFlash::AllocatedSectors() const {
    return static_cast<std::size_t>(std::count_if(sectors_.begin(), sectors_.end(),
                                                  [](const auto& s) { return s != nullptr; }));
}

void SimulatedNorFlash::ProtectSector(std::uint32_t sector) {
    protected_.at(sector) = true;
}

// The extended address register supplies the bits above the 24 of the command.
std::uint32_t SimulatedNorFlash::CommandAddress(std::span<const std::uint8_t> command) const {
    const std::uint64_t address = std::uint64_t{extended_address_} << kCardFlash.low_address_bits |
                                  std::uint32_t{command[1]} << 16 | std::uint32_t{command[2]} << 8 |
                                  command[3];
    return static_cast<std::uint32_t>(address % kCardFlash.size_bytes);
}

void SimulatedNorFlash::Erase(std::uint32_t address, std::int64_t transfer_us) {
    const std::uint32_t sector = address / kCardFlash.sector_bytes;
    write_enabled_ = false;
    if (!protected_[sector]) {
        sectors_[sector].reset();
    }
    StartBusy(transfer_us + erase_busy_us_);
}

void SimulatedNorFlash::Program(std::uint32_t address, std::span<const std::uint8_t> data,
                                std::int64_t transfer_us) {
    const std::uint32_t page_base = address - address % kCardFlash.page_bytes;
    const std::uint32_t sector_index = address / kCardFlash.sector_bytes;
    write_enabled_ = false;
    StartBusy(transfer_us + program_busy_us_);
    if (protected_[sector_index]) {
        return;
    }
    std::unique_ptr<Sector>& sector = sectors_[sector_index];
    if (!sector) {
        sector = std::make_unique<Sector>();
        sector->fill(0xFF);
    }
    const std::size_t bytes = std::min<std::size_t>(data.size(), kCardFlash.page_bytes);
    for (std::size_t i = 0; i < bytes; ++i) {
        const std::uint32_t in_page = (address + i) % kCardFlash.page_bytes;
        (*sector)[(page_base + in_page) % kCardFlash.sector_bytes] &= data[i];
    }
}

void SimulatedNorFlash::Read(std::uint32_t address, std::span<std::uint8_t> data) const {
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = ByteAt(static_cast<std::uint32_t>(address + i));
    }
}

std::uint8_t SimulatedNorFlash::FlagStatus() const {
    return IsBusy() ? 0 : kFlagStatusReady;
}

void SimulatedNorFlash::StartBusy(std::int64_t microseconds) {
    busy_until_us_ = clock_.Microseconds() + microseconds;
}

}  // namespace vantu
