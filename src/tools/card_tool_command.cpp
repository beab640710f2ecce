#include "tools/card_tool_command.h"

#include <charconv>
#include <map>

#include "card/bar0_map.h"
#include "card/spi_flash.h"

namespace vantu {

const char kCardToolUsage[] =
    "Usage: vantu-card [--simulate | --sysfs-root DIR] COMMAND [ARGUMENTS]\n"
    "\n"
    "Bring-up and service of the PXIeCtrl control card (vendor 0x534E, device 0x6374)\n"
    "through the station's device library.\n"
    "\n"
    "Options:\n"
    "  --simulate          use the simulated card instead of the hardware\n"
    "  --sysfs-root DIR    where sysfs is mounted (default /sys)\n"
    "  -h, --help          show this text\n"
    "  --version           show the software version\n"
    "\n"
    "Commands:\n"
    "  info                            card ids, PCI slot, identification words and every\n"
    "                                  address space\n"
    "  read OFFSET                     read the 32-bit register at BAR 0 byte offset OFFSET\n"
    "  write OFFSET VALUE              write the 32-bit VALUE at BAR 0 byte offset OFFSET\n"
    "  dump-report BLOCK               read report block BLOCK (0-13) word by word and\n"
    "                                  print its 256 words\n"
    "  throughput OFFSET BYTES RUNS    block-write, block-read and compare BYTES (a multiple\n"
    "                                  of 4, at most 16 MiB) at OFFSET, RUNS times, with\n"
    "                                  timings; exit 0 only without errors. The range\n"
    "                                  must not reach the SPI registers (0x0010-0x01FF)\n"
    "                                  or the sequencer registers (0x8000-0x800B)\n"
    "  flash-id                        flash identification bytes, flag status and\n"
    "                                  extended address register\n"
    "  flash-program IMAGE --address A erase, program and verify the file IMAGE at flash\n"
    "                                  address A, with progress marks and totals on\n"
    "                                  standard error; exit 0 only with Total Error = 0\n"
    "  flash-read --address A --length N\n"
    "                                  print N flash bytes from address A in hexadecimal\n"
    "\n"
    "OFFSET, VALUE and A are hexadecimal, with or without 0x; OFFSET is a multiple of 4.\n"
    "BLOCK, BYTES, RUNS and N are decimal, or hexadecimal with 0x.\n"
    "Exit status: 0 success, 1 card or operation failure, 2 usage error.\n";

namespace {

// Far beyond any BAR 0 window; keeps a mistyped count from allocating gigabytes.
constexpr std::uint32_t kMaxThroughputBytes = 16u << 20;

// Register blocks a throughput test must not write its patterns into: the SPI
// controller with its data buffer, and the sequencer (a pattern there starts code).
struct RegisterBlock {
    std::uint32_t begin;
    std::uint32_t end;
};
constexpr RegisterBlock kThroughputForbidden[] = {
    {kSpiControl, kSpiData + kSpiDataBytes},
    {kSequencerId, kSequencerParameter + 4},
};

bool ReachesRegisters(std::uint32_t offset, std::uint32_t bytes) {
    const std::uint64_t end = std::uint64_t{offset} + bytes;
    for (const RegisterBlock& block : kThroughputForbidden) {
        if (offset < block.end && end > block.begin) {
            return true;
        }
    }
    return false;
}

bool ParseWhole(std::string_view text, int base, std::uint32_t& value) {
    if (text.empty()) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

bool HasHexPrefix(std::string_view text) {
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

struct ActionShape {
    CardToolAction action;
    std::size_t operands;  // positional arguments after the command name
    bool needs_address;
    bool needs_length;
};

const std::map<std::string_view, ActionShape>& Actions() {
    static const std::map<std::string_view, ActionShape> actions = {
        {"info", {CardToolAction::kInfo, 0, false, false}},
        {"read", {CardToolAction::kRead, 1, false, false}},
        {"write", {CardToolAction::kWrite, 2, false, false}},
        {"dump-report", {CardToolAction::kDumpReport, 1, false, false}},
        {"throughput", {CardToolAction::kThroughput, 3, false, false}},
        {"flash-id", {CardToolAction::kFlashId, 0, false, false}},
        {"flash-program", {CardToolAction::kFlashProgram, 1, true, false}},
        {"flash-read", {CardToolAction::kFlashRead, 0, true, true}},
    };
    return actions;
}

// Register offsets address whole 32-bit words; the driver would refuse any other.
bool ParseOffset(std::string_view text, std::uint32_t& offset) {
    return ParseHexArgument(text, offset) && offset % 4 == 0;
}

bool ParseOperands(const std::vector<std::string_view>& operands, CardToolCommand& command,
                   std::string& error) {
    const auto fail = [&](std::string text) {
        error = std::move(text);
        return false;
    };
    switch (command.action) {
        case CardToolAction::kRead:
            return ParseOffset(operands[0], command.offset) ||
                   fail("OFFSET must be hexadecimal and a multiple of 4");
        case CardToolAction::kWrite:
            if (!ParseOffset(operands[0], command.offset)) {
                return fail("OFFSET must be hexadecimal and a multiple of 4");
            }
            return ParseHexArgument(operands[1], command.value) || fail("bad VALUE");
        case CardToolAction::kDumpReport:
            if (!ParseCountArgument(operands[0], command.block) ||
                command.block >= kReportBlockCount) {
                return fail("BLOCK must be 0-13");
            }
            return true;
        case CardToolAction::kThroughput:
            if (!ParseOffset(operands[0], command.offset)) {
                return fail("OFFSET must be hexadecimal and a multiple of 4");
            }
            if (!ParseCountArgument(operands[1], command.bytes) || command.bytes % 4 != 0 ||
                command.bytes > kMaxThroughputBytes) {
                return fail("BYTES must be a multiple of 4, at most 16 MiB");
            }
            if (ReachesRegisters(command.offset, command.bytes)) {
                return fail("the range reaches the SPI or sequencer registers");
            }
            return ParseCountArgument(operands[2], command.runs) || fail("bad RUNS");
        case CardToolAction::kFlashProgram:
            command.image = std::string(operands[0]);
            return true;
        default:
            return true;
    }
}

}  // namespace

bool ParseHexArgument(std::string_view text, std::uint32_t& value) {
    return ParseWhole(HasHexPrefix(text) ? text.substr(2) : text, 16, value);
}

bool ParseCountArgument(std::string_view text, std::uint32_t& value) {
    return HasHexPrefix(text) ? ParseWhole(text.substr(2), 16, value) : ParseWhole(text, 10, value);
}

std::optional<CardToolCommand> ParseCardToolCommand(const std::vector<std::string_view>& args,
                                                    std::string& error) {
    CardToolCommand command;
    std::vector<std::string_view> positional;
    std::optional<std::string_view> address;
    std::optional<std::string_view> length;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool has_value = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            return CardToolCommand{};
        } else if (arg == "--version") {
            command.action = CardToolAction::kVersion;
            return command;
        } else if (arg == "--simulate") {
            command.simulate = true;
        } else if (arg == "--sysfs-root" && has_value) {
            command.sysfs_root = std::string(args[++i]);
        } else if (arg == "--address" && has_value) {
            address = args[++i];
        } else if (arg == "--length" && has_value) {
            length = args[++i];
        } else if (arg.starts_with("--")) {
            error = "unknown option or missing value: " + std::string(arg);
            return std::nullopt;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    const auto found = Actions().find(positional[0]);
    if (found == Actions().end()) {
        error = "unknown command: " + std::string(positional[0]);
        return std::nullopt;
    }
    const ActionShape& shape = found->second;
    command.action = shape.action;
    const std::vector<std::string_view> operands(positional.begin() + 1, positional.end());
    if (operands.size() != shape.operands) {
        error = std::string(positional[0]) + ": wrong number of arguments";
        return std::nullopt;
    }
    if (address.has_value() != shape.needs_address || length.has_value() != shape.needs_length) {
        error = std::string(positional[0]) + ": --address/--length do not match the command";
        return std::nullopt;
    }
    if (address && !ParseHexArgument(*address, command.address)) {
        error = "bad --address";
        return std::nullopt;
    }
    if (length && (!ParseCountArgument(*length, command.length) ||
                   std::uint64_t{command.address} + command.length > kCardFlash.size_bytes)) {
        error = "bad --length: the range must lie inside the 64 MiB flash";
        return std::nullopt;
    }
    if (!ParseOperands(operands, command, error)) {
        return std::nullopt;
    }
    return command;
}

}  // namespace vantu
