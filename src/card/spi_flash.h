// The serial NOR flash behind the card's SPI controller: its command set and geometry
// as data, shared by the flash layer and the simulated flash and checked once by a test.
#pragma once

#include <array>
#include <cstdint>

namespace vantu {

inline constexpr std::uint8_t kFlashWriteEnable = 0x06;
inline constexpr std::uint8_t kFlashWriteDisable = 0x04;
inline constexpr std::uint8_t kFlashReadFlagStatus = 0x70;
inline constexpr std::uint8_t kFlashReadId = 0x9E;
inline constexpr std::uint8_t kFlashWriteExtendedAddress = 0xC5;
inline constexpr std::uint8_t kFlashReadExtendedAddress = 0xC8;
inline constexpr std::uint8_t kFlashSectorErase = 0xD8;
inline constexpr std::uint8_t kFlashPageProgram = 0x02;
inline constexpr std::uint8_t kFlashRead = 0x03;

enum class FlashDataPhase { kNone, kToFlash, kFromFlash };

struct FlashCommand {
    std::uint8_t code;
    const char* name;
    std::uint8_t command_bytes;  // opcode plus address or register byte
    bool needs_write_enable;     // ignored unless the write enable latch is set
    FlashDataPhase data;
};

inline constexpr std::array kFlashCommands = {
    FlashCommand{kFlashWriteEnable, "write enable", 1, false, FlashDataPhase::kNone},
    FlashCommand{kFlashWriteDisable, "write disable", 1, false, FlashDataPhase::kNone},
    FlashCommand{kFlashReadFlagStatus, "read flag status register", 1, false,
                 FlashDataPhase::kFromFlash},
    FlashCommand{kFlashReadId, "read identification", 1, false, FlashDataPhase::kFromFlash},
    FlashCommand{kFlashWriteExtendedAddress, "write extended address register", 2, true,
                 FlashDataPhase::kNone},
    FlashCommand{kFlashReadExtendedAddress, "read extended address register", 1, false,
                 FlashDataPhase::kFromFlash},
    FlashCommand{kFlashSectorErase, "sector erase 64 KiB", 4, true, FlashDataPhase::kNone},
    FlashCommand{kFlashPageProgram, "page program", 4, true, FlashDataPhase::kToFlash},
    FlashCommand{kFlashRead, "read", 4, false, FlashDataPhase::kFromFlash},
};

// Flag status register.
inline constexpr std::uint8_t kFlagStatusReady = 0x80;  // program/erase controller ready

struct FlashGeometry {
    std::uint32_t size_bytes;
    std::uint32_t sector_bytes;
    std::uint32_t page_bytes;
    std::uint32_t low_address_bits;  // address bits of a 3-byte command
    std::array<std::uint8_t, 4> id;  // manufacturer, memory type, capacity, extension
};

inline constexpr FlashGeometry kCardFlash{
    64u << 20, 0x10000, 256, 24, {0x20, 0xBA, 0x20, 0x10},
};

}  // namespace vantu
