// BAR 0 of the PXIeCtrl card as the station uses it: offset first, then the bits and
// fields of that register, each with a terse comment. Card words are 32-bit little-endian.
#pragma once

#include <cstdint>

namespace vantu {

inline constexpr std::uint32_t kCardBar = 0;  // every card access goes to BAR 0

inline constexpr std::uint32_t kCardIdWord = 0x0000;  // read once at open, value unused

// SPI controller of the serial flash.
inline constexpr std::uint32_t kSpiControl = 0x0010;          // control word / transfer status
inline constexpr std::uint32_t kSpiStart = 0x80000000;        //  write: start; read: running
inline constexpr std::uint32_t kSpiSelectFlash = 0x08000000;  //  device select of the flash
inline constexpr std::uint32_t kSpiCommandBitsShift = 16;     //  bits 16-21: command+address bits
inline constexpr std::uint32_t kSpiCommandBitsMask = 0x3F;
inline constexpr std::uint32_t kSpiMaxCommandBits = 32;
inline constexpr std::uint32_t kSpiDataBitsMask = 0xFFF;  //  bits 0-11: data bits
inline constexpr std::uint32_t kSpiMaxDataBits = 2048;
inline constexpr std::uint32_t kSpiConfigShift = 12;  //  configuration write: bits 12-14 setting,
inline constexpr std::uint32_t kSpiConfigFlag = 0x8;  //  bit 15 set, start bit clear
inline constexpr std::uint32_t kSpiCommand = 0x0014;  // command byte and address, right-aligned
inline constexpr std::uint32_t kSpiData = 0x0100;     // data buffer, 32-bit units
inline constexpr std::uint32_t kSpiDataBytes = 256;

// Sequencer of the control code.
inline constexpr std::uint32_t kSequencerId = 0x8000;          // read once at open, unused
inline constexpr std::uint32_t kSequencerControl = 0x8004;     // commands / busy status
inline constexpr std::uint32_t kSequencerEnable = 0xC0000000;  //  write: start the control code
inline constexpr std::uint32_t kSequencerStop = 0x30000000;    //  write: stop it
inline constexpr std::uint32_t kSequencerBusy = 0x80000000;    //  read: control code running
inline constexpr std::uint32_t kSequencerParameter = 0x8008;   // 0 before every enable

// Report register memory: 14 blocks of 256 words.
inline constexpr std::uint32_t kReportMemory = 0x8800;
inline constexpr std::uint32_t kReportBlockCount = 14;
inline constexpr std::uint32_t kReportBlockWords = 256;
inline constexpr std::uint32_t kReportBlockBytes = 0x400;
inline constexpr std::uint32_t kReportWords = kReportBlockCount * kReportBlockWords;

// Control code memory: 2048 words.
inline constexpr std::uint32_t kControlCodeMemory = 0xC000;
inline constexpr std::uint32_t kControlCodeWords = 2048;

}  // namespace vantu
