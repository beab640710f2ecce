#include "card/flash_access.h"

#include <algorithm>
#include <cstdio>

#include "card/bar0_map.h"
#include "card/bar_access.h"
#include "card/card_timing.h"
#include "card/spi_flash.h"

namespace vantu {
namespace {

// No value read from the card can be a high address byte this large, so the first
// SetExtendedAddress after InitFlashAccess always writes the register.
constexpr std::uint32_t kUnknownExtendedAddress = 0xFFFFFFFF;
constexpr std::uint32_t kLowAddressMask = 0xFFFFFF;
constexpr double kSpiPollMicroseconds = 1.5;
constexpr double kFlagPollMicroseconds = 50;

struct FlashAccessState {
    CardHandle card = nullptr;
    std::uint32_t bar = 0;
    std::uint32_t extended_address = kUnknownExtendedAddress;
};

FlashAccessState state;

void Mark(const char* text) {
    std::fputs(text, stderr);
}

void WriteRegister(std::uint32_t offset, std::uint32_t value) {
    if (WriteBar32(state.card, state.bar, offset, value) != kPciSuccess) {
        Mark("e");
    }
}

std::uint32_t RoundUpToWords(std::uint32_t bytes) {
    return (bytes + 3) & ~std::uint32_t{3};
}

std::uint32_t AddressCommand(std::uint8_t code, std::uint32_t address) {
    return std::uint32_t{code} << 24 | (address & kLowAddressMask);
}

}  // namespace

int InitFlashAccess(CardHandle card, std::uint32_t bar) {
    state = FlashAccessState{card, bar, kUnknownExtendedAddress};
    return 0;
}

void ReleaseFlashAccess(CardHandle card) {
    if (card == state.card) {
        state = FlashAccessState{};
    }
}

void ConfigureSpi(std::uint32_t setting) {
    WriteRegister(kSpiControl, ((setting & 7) | kSpiConfigFlag) << kSpiConfigShift);
}

void SpiIssue(std::uint32_t select, std::uint32_t command, std::uint32_t command_bits,
              std::uint32_t data_bytes) {
    const std::uint32_t data_bits =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(data_bytes * 8ull, kSpiMaxDataBits));
    WriteRegister(kSpiCommand, command);
    WriteRegister(kSpiControl,
                  kSpiStart | std::min(command_bits, kSpiMaxCommandBits) << kSpiCommandBitsShift |
                      select | data_bits);
}

int SpiWaitIdle(int max_polls) {
    int polls = 0;
    bool running = false;
    do {
        std::uint32_t control = 0;
        if (ReadBar32(state.card, state.bar, kSpiControl, control) != kPciSuccess ||
            control == 0xFFFFFFFF) {
            Mark("e");
        }
        running = (control & kSpiStart) != 0;
        if (running) {
            DelayMicroseconds(kSpiPollMicroseconds);
        }
        ++polls;
    } while (running && polls < max_polls);
    // Judged by the last poll: a transfer that finished on the final poll is no time-out.
    if (running) {
        Mark("t");
        return 1;
    }
    return 0;
}

int SpiWrite(std::uint32_t select, std::uint32_t command, std::uint32_t command_bits,
             std::span<const std::uint8_t> data) {
    const auto bytes =
        static_cast<std::uint32_t>(std::min<std::size_t>(data.size(), kSpiDataBytes));
    if (bytes > 0) {
        // The buffer is written in whole words; the caller's data is never read past its end.
        std::array<std::uint8_t, kSpiDataBytes> buffer;
        buffer.fill(0xFF);
        std::copy_n(data.begin(), bytes, buffer.begin());
        if (WriteBarBlock(state.card, state.bar, kSpiData, buffer.data(), RoundUpToWords(bytes)) !=
            kPciSuccess) {
            Mark("e");
        }
    }
    SpiIssue(select, command, command_bits, bytes);
    return SpiWaitIdle(kSpiIdlePolls);
}

PciStatus SpiRead(std::uint32_t select, std::uint32_t command, std::uint32_t command_bits,
                  std::span<std::uint8_t> data) {
    const auto bytes =
        static_cast<std::uint32_t>(std::min<std::size_t>(data.size(), kSpiDataBytes));
    SpiIssue(select, command, command_bits, bytes);
    SpiWaitIdle(kSpiIdlePolls);
    // The buffer is read in whole words; only the requested bytes reach the caller.
    std::array<std::uint8_t, kSpiDataBytes> buffer{};
    const PciStatus status =
        ReadBarBlock(state.card, state.bar, kSpiData, buffer.data(), RoundUpToWords(bytes));
    if (status != kPciSuccess) {
        Mark("e");
    }
    std::copy_n(buffer.begin(), bytes, data.begin());
    return status;
}

std::array<std::uint8_t, 2> ReadFlagStatus() {
    std::array<std::uint8_t, 2> status{};
    SpiRead(kSpiSelectFlash, kFlashReadFlagStatus, 8, status);
    return status;
}

std::array<std::uint8_t, 4> ReadFlashId() {
    std::array<std::uint8_t, 4> id{};
    SpiRead(kSpiSelectFlash, kFlashReadId, 8, id);
    return id;
}

void FlashWriteEnable() {
    SpiWrite(kSpiSelectFlash, kFlashWriteEnable, 8, {});
}

void FlashWriteDisable() {
    SpiWrite(kSpiSelectFlash, kFlashWriteDisable, 8, {});
}

void SetExtendedAddress(std::uint32_t high_address) {
    if (high_address == state.extended_address) {
        return;
    }
    FlashWriteEnable();
    SpiWrite(kSpiSelectFlash,
             std::uint32_t{kFlashWriteExtendedAddress} << 8 | (high_address & 0xFF), 16, {});
    state.extended_address = high_address;
}

std::uint32_t ReadExtendedAddress() {
    std::array<std::uint8_t, 8> data{};
    SpiRead(kSpiSelectFlash, kFlashReadExtendedAddress, 8, data);
    state.extended_address = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 |
                             std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24;
    return state.extended_address;
}

int WaitFlashReady(int max_reads) {
    int reads = 0;
    bool ready = false;
    do {
        DelayMicroseconds(kFlagPollMicroseconds);
        ready = (ReadFlagStatus()[0] & kFlagStatusReady) != 0;
        ++reads;
    } while (!ready && reads < max_reads);
    // Judged by the last read: a flash that became ready on the final read is no time-out.
    return ready ? 0 : 1;
}

int EraseSector(std::uint32_t address) {
    SetExtendedAddress(address >> kCardFlash.low_address_bits);
    FlashWriteEnable();
    SpiWrite(kSpiSelectFlash, AddressCommand(kFlashSectorErase, address), 32, {});
    if (WaitFlashReady(kEraseReadyReads) != 0) {
        Mark("ER TO ");
        return 1;
    }
    return 0;
}

int ProgramPage(std::span<const std::uint8_t> data, std::uint32_t address) {
    SetExtendedAddress(address >> kCardFlash.low_address_bits);
    FlashWriteEnable();
    SpiWrite(kSpiSelectFlash, AddressCommand(kFlashPageProgram, address), 32,
             data.first(std::min<std::size_t>(data.size(), kCardFlash.page_bytes)));
    SpiWaitIdle(kSpiIdlePolls);
    if (WaitFlashReady(kProgramReadyReads) != 0) {
        Mark("WR TO ");
        return 1;
    }
    return 0;
}

std::uint32_t ReadFlash(std::span<std::uint8_t> data, std::uint32_t address) {
    SetExtendedAddress(address >> kCardFlash.low_address_bits);
    const auto bytes =
        static_cast<std::uint32_t>(std::min<std::size_t>(data.size(), kCardFlash.page_bytes));
    SpiRead(kSpiSelectFlash, AddressCommand(kFlashRead, address), 32, data.first(bytes));
    return bytes;
}

int EraseRange(std::uint32_t start, std::uint32_t length) {
    Mark("Erasing ");
    int errors = 0;
    // An image that starts inside a sector still reaches into the sectors after it.
    const std::uint64_t end = std::uint64_t{start} + length;
    const std::uint32_t first = start - start % kCardFlash.sector_bytes;
    for (std::uint64_t address = first; address < end; address += kCardFlash.sector_bytes) {
        errors += EraseSector(static_cast<std::uint32_t>(address));
        Mark("e");
    }
    Mark(errors != 0 ? "\nFail\n" : "\nOK\n");
    return errors;
}

}  // namespace vantu
