// Access to the card's serial NOR flash through the SPI controller on BAR 0. The layer
// works on the card given to InitFlashAccess and prints one-letter marks on standard
// error instead of failing: "e" failed register or block access, "t" SPI transfer not
// finished, "ER TO " erase not ready, "WR TO " page program not ready.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "card/card_handle.h"
#include "card/pci_status.h"

namespace vantu {

inline constexpr std::uint32_t kSpiSettingAtOpen = 1;
inline constexpr int kSpiIdlePolls = 1000;
inline constexpr int kEraseReadyReads = 30000;
inline constexpr int kProgramReadyReads = 1000;

// Keeps the card and BAR for every later call; forgets the cached extended address.
int InitFlashAccess(CardHandle card, std::uint32_t bar);
// Forgets the card when it is the one the layer keeps, so that no later call reaches a
// closed handle: they then mark "e" and touch nothing.
void ReleaseFlashAccess(CardHandle card);

void ConfigureSpi(std::uint32_t setting);
void SpiIssue(std::uint32_t select, std::uint32_t command, std::uint32_t command_bits,
              std::uint32_t data_bytes);
// 0 = idle, 1 = still running after max_polls reads.
int SpiWaitIdle(int max_polls);
// Sends at most 256 data bytes; the result of the idle wait.
int SpiWrite(std::uint32_t select, std::uint32_t command, std::uint32_t command_bits,
             std::span<const std::uint8_t> data);
// Receives at most 256 bytes into data; the status of the data buffer read.
PciStatus SpiRead(std::uint32_t select, std::uint32_t command, std::uint32_t command_bits,
                  std::span<std::uint8_t> data);

std::array<std::uint8_t, 2> ReadFlagStatus();
std::array<std::uint8_t, 4> ReadFlashId();
void FlashWriteEnable();
void FlashWriteDisable();
// Writes the register only when the value differs from the cached one.
void SetExtendedAddress(std::uint32_t high_address);
std::uint32_t ReadExtendedAddress();
// 0 = ready, 1 = still busy after max_reads flag status reads.
int WaitFlashReady(int max_reads);

int EraseSector(std::uint32_t address);
int ProgramPage(std::span<const std::uint8_t> data, std::uint32_t address);
// Reads at most 256 bytes; gives the number read.
std::uint32_t ReadFlash(std::span<std::uint8_t> data, std::uint32_t address);
// Erases every 64 KiB sector that holds a byte of start .. start + length - 1, from the
// sector start lies in; the failed erases.
int EraseRange(std::uint32_t start, std::uint32_t length);

}  // namespace vantu
