// The command line of vantu-card, parsed and checked before any card is touched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantu {

enum class CardToolAction {
    kHelp,
    kVersion,
    kInfo,
    kRead,
    kWrite,
    kDumpReport,
    kThroughput,
    kFlashId,
    kFlashProgram,
    kFlashRead,
};

struct CardToolCommand {
    CardToolAction action = CardToolAction::kHelp;
    bool simulate = false;
    std::string sysfs_root = "/sys";
    std::uint32_t offset = 0;
    std::uint32_t value = 0;
    std::uint32_t block = 0;
    std::uint32_t bytes = 0;
    std::uint32_t runs = 0;
    std::uint32_t address = 0;
    std::uint32_t length = 0;
    std::string image;
};

extern const char kCardToolUsage[];

// Null with the reason in `error` when the command line is not usable.
std::optional<CardToolCommand> ParseCardToolCommand(const std::vector<std::string_view>& args,
                                                    std::string& error);

// Hexadecimal with or without 0x; the whole text must be a number that fits 32 bits.
bool ParseHexArgument(std::string_view text, std::uint32_t& value);
// Decimal, or hexadecimal with 0x; the whole text must be a number that fits 32 bits.
bool ParseCountArgument(std::string_view text, std::uint32_t& value);

}  // namespace vantu
