#include "tools/card_tool_run.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <span>
#include <vector>

#include "card/bar0_map.h"
#include "card/bar_access.h"
#include "card/card_device.h"
#include "card/card_open.h"
#include "card/card_ops.h"
#include "card/device_library.h"
#include "card/flash_access.h"
#include "card/flash_image.h"
#include "card/spi_flash.h"
#include "card/throughput_test.h"

namespace vantu {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr std::uint32_t kWordsPerLine = 8;
constexpr std::uint32_t kBytesPerLine = 16;

int ShowInfo(CardHandle card) {
    const PciSlot& slot = card->info.slot;
    std::printf("PXIeCtrl card: Vendor ID 0x%04X, Device ID 0x%04X\n", kCardVendorId,
                kCardDeviceId);
    std::printf("PCI slot: %04x:%02x:%02x.%x\n", slot.domain, slot.bus, slot.slot, slot.function);
    std::printf("BAR 0 access: %s\n", card->bar_access.c_str());
    std::uint32_t id = 0;
    ReadCardRegister(card, kCardIdWord, id);
    std::printf("ID word 0x%04X: 0x%08X\n", kCardIdWord, id);
    ReadCardRegister(card, kSequencerId, id);
    std::printf("ID word 0x%04X: 0x%08X\n", kSequencerId, id);
    const std::uint32_t spaces = TESPCICONTROL_GetNumAddrSpaces(card);
    std::printf("Address spaces: %u\n", spaces);
    for (std::uint32_t number = 0; number < spaces; ++number) {
        AddrSpaceInfo info;
        info.number = number;
        if (TESPCICONTROL_GetAddrSpaceInfo(card, info)) {
            std::printf("  %-6s %-7s %s\n", info.name, info.type, info.description);
        }
    }
    return kSuccess;
}

// One line on standard error with the driver's text for a refused access.
int Refused(CardHandle card, const char* what, std::uint32_t offset, PciStatus status) {
    std::fprintf(stderr, "vantu-card: %s 0x%08X: Error 0x%X - %s\n", what, offset, status,
                 card->driver->StatusText(status).c_str());
    return kFailure;
}

int ReadRegister(CardHandle card, std::uint32_t offset) {
    offset &= ~3u;
    std::uint32_t value = 0;
    if (const PciStatus status = ReadBar32(card, kCardBar, offset, value); status != kPciSuccess) {
        return Refused(card, "read", offset, status);
    }
    std::printf("0x%08X: 0x%08X\n", offset, value);
    return kSuccess;
}

int WriteRegister(CardHandle card, std::uint32_t offset, std::uint32_t value) {
    offset &= ~3u;
    if (const PciStatus status = WriteBar32(card, kCardBar, offset, value); status != kPciSuccess) {
        return Refused(card, "write", offset, status);
    }
    std::printf("0x%08X <- 0x%08X\n", offset, value);
    return kSuccess;
}

int DumpReport(CardHandle card, std::uint32_t block) {
    std::vector<std::uint32_t> report(kReportWords);
    ReadReportBlock(card, report.data(), block);
    const std::uint32_t first = kReportMemory + block * kReportBlockBytes;
    std::printf("Report block %u (0x%04X-0x%04X)\n", block, first, first + kReportBlockBytes - 1);
    for (std::uint32_t i = 0; i < kReportBlockWords; ++i) {
        if (i % kWordsPerLine == 0) {
            std::printf("%04X:", first + i * 4);
        }
        std::printf(" %08X", report[block * kReportBlockWords + i]);
        if (i % kWordsPerLine == kWordsPerLine - 1) {
            std::printf("\n");
        }
    }
    return kSuccess;
}

int ShowFlashId() {
    const std::array<std::uint8_t, 4> id = ReadFlashId();
    std::printf("Flash ID: %02X %02X %02X %02X\n", id[0], id[1], id[2], id[3]);
    const std::uint8_t status = ReadFlagStatus()[0];
    std::printf("Flag status: 0x%02X (%s)\n", status,
                (status & kFlagStatusReady) != 0 ? "ready" : "busy");
    std::printf("Extended address: 0x%02X\n", ReadExtendedAddress() & 0xFF);
    return kSuccess;
}

int CannotRead(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "vantu-card: %s: cannot read: %s\n", path.c_str(), reason.c_str());
    return kFailure;
}

int ProgramImage(const CardToolCommand& command) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(command.image, error);
    if (error) {
        return CannotRead(command.image, error.message());
    }
    if (command.address + size > kCardFlash.size_bytes) {
        std::fprintf(stderr, "vantu-card: %s does not fit in the flash at 0x%X\n",
                     command.image.c_str(), command.address);
        return kFailure;
    }
    const int result = ProgramFlashImage(command.image, command.address);
    if (result == -1) {
        return CannotRead(command.image, std::strerror(errno));
    }
    return result == 0 ? kSuccess : kFailure;
}

int DumpFlash(std::uint32_t address, std::uint32_t length) {
    std::array<std::uint8_t, kBytesPerLine> line{};
    for (std::uint32_t done = 0; done < length; done += kBytesPerLine) {
        const std::uint32_t bytes = std::min(kBytesPerLine, length - done);
        ReadFlash(std::span(line).first(bytes), address + done);
        std::printf("%08X:", address + done);
        for (std::uint32_t i = 0; i < bytes; ++i) {
            std::printf(" %02X", line[i]);
        }
        std::printf("\n");
    }
    return kSuccess;
}

}  // namespace

int RunCardToolCommand(CardHandle card, const CardToolCommand& command) {
    switch (command.action) {
        case CardToolAction::kInfo:
            return ShowInfo(card);
        case CardToolAction::kRead:
            return ReadRegister(card, command.offset);
        case CardToolAction::kWrite:
            return WriteRegister(card, command.offset, command.value);
        case CardToolAction::kDumpReport:
            return DumpReport(card, command.block);
        case CardToolAction::kThroughput:
            return RunMemoryThroughputTest(card, command.offset, command.bytes, command.runs) == 0
                       ? kSuccess
                       : kFailure;
        case CardToolAction::kFlashId:
            return ShowFlashId();
        case CardToolAction::kFlashProgram:
            return ProgramImage(command);
        case CardToolAction::kFlashRead:
            return DumpFlash(command.address, command.length);
        case CardToolAction::kHelp:
        case CardToolAction::kVersion:
            break;
    }
    return kSuccess;
}

}  // namespace vantu
