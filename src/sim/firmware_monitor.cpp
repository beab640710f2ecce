#include "sim/firmware_monitor.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <sstream>

namespace vantu {
namespace {

constexpr std::size_t kUnits = 14;
constexpr std::size_t kUnitSection = 448;
constexpr std::size_t kHighBytes = 112;
constexpr std::size_t kLowWords = 224;
constexpr int kEntries = 8;
constexpr std::size_t kPageBytes = 256;
// Modules per antenna column, numbered column by column; the SLB module sits on unit 12
// after that unit's own eight modules.
constexpr std::array<int, kUnits> kColumnModules = {6,  8,  12, 12, 14, 14, 14,
                                                    14, 14, 14, 12, 12, 8,  6};
constexpr int kSlbModule = 160;
constexpr int kSlbUnit = 12;
constexpr int kSlbPosition = 8;
// The version every present entry reports: high byte, and the low word plus the entry.
constexpr std::uint8_t kVersionHigh = 0x0a;
constexpr std::uint16_t kVersionLow = 0x1b20;

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0xF]);
    }
    return text;
}

std::string Line(const char* format, auto... values) {
    char text[96];
    std::snprintf(text, sizeof text, format, values...);
    return std::string(text) + "\r\n";
}

constexpr char kDelete = 0x7F;
const std::string kBadCommand = "ERR COMMAND\r\n";

// The first three operands; false when any operand is not a hexadecimal number.
bool ReadHexOperands(std::istream& words, std::array<std::uint64_t, 3>& operands) {
    std::size_t count = 0;
    for (std::string token; words >> token; ++count) {
        std::uint64_t value = 0;
        const auto [end, error] =
            std::from_chars(token.data(), token.data() + token.size(), value, 16);
        if (error != std::errc() || end != token.data() + token.size()) {
            return false;
        }
        if (count < operands.size()) {
            operands[count] = value;
        }
    }
    return true;
}

// Compared without forming address + length, which wraps for addresses near the top.
bool Within(std::uint64_t address, std::uint64_t length, std::size_t size) {
    return address <= size && length <= size - address;
}

}  // namespace

FirmwareMonitor::FirmwareMonitor(const std::vector<int>& absent_modules)
    : memory_(kFirmwareMemoryBytes), flash_(kFirmwareFlashBytes, 0xFF) {
    auto place = [&](int module, std::size_t unit, std::size_t position) {
        if (std::find(absent_modules.begin(), absent_modules.end(), module) !=
            absent_modules.end()) {
            return;
        }
        std::uint8_t* section = &versions_[unit * kUnitSection];
        for (int k = 0; k < kEntries; ++k) {
            const std::size_t e = position * kEntries + static_cast<std::size_t>(k);
            const auto low = static_cast<std::uint16_t>(kVersionLow + k);
            section[e] = 1;
            section[kHighBytes + e] = kVersionHigh;
            section[kLowWords + 2 * e] = static_cast<std::uint8_t>(low & 0xFF);
            section[kLowWords + 2 * e + 1] = static_cast<std::uint8_t>(low >> 8);
        }
    };
    int module = 0;
    for (std::size_t column = 0; column < kUnits; ++column) {
        const std::size_t unit = column <= 7 ? 7 - column : column;
        for (int index = 0; index < kColumnModules[column]; ++index) {
            place(module++, unit, static_cast<std::size_t>(index));
        }
    }
    place(kSlbModule, kSlbUnit, kSlbPosition);
}

std::string FirmwareMonitor::Receive(std::string_view input) {
    std::string output;
    for (char c : input) {
        if (page_mode_) {
            output += AcceptPageData(c);
        } else if (c == '\r') {
            const std::string line = line_;
            line_.clear();
            output += "\r\n" + Execute(line);
            if (!page_mode_) {
                output += '>';
            }
        } else if (c == '\b' || c == kDelete) {
            output += EraseLast();
        } else if (c != '\n') {
            line_.push_back(c);
            output.push_back(c);
        }
    }
    return output;
}

// A terminal sends backspace or DEL for the key that takes back a typed character;
// the firmware echoes the erase sequence that wipes it from the screen.
std::string FirmwareMonitor::EraseLast() {
    if (line_.empty()) {
        return {};
    }
    line_.pop_back();
    return "\b \b";
}

std::string FirmwareMonitor::AcceptPageData(char c) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
        return {};
    }
    page_digits_.push_back(c);
    if (page_digits_.size() < 2 * kPageBytes) {
        return {};
    }
    page_mode_ = false;
    for (std::size_t i = 0; i < kPageBytes; ++i) {
        memory_[page_address_ + i] =
            static_cast<std::uint8_t>(std::stoul(page_digits_.substr(2 * i, 2), nullptr, 16));
    }
    page_digits_.clear();
    return "OK\r\n>";
}

bool FirmwareMonitor::InMemory(std::uint64_t address, std::uint64_t length) const {
    return Within(address, length, memory_.size());
}

bool FirmwareMonitor::InFlash(std::uint64_t address, std::uint64_t length) const {
    return Within(address, length, flash_.size());
}

std::string FirmwareMonitor::Execute(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    std::transform(command.begin(), command.end(), command.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    std::array<std::uint64_t, 3> operands{};
    if (!ReadHexOperands(words, operands)) {
        return kBadCommand;
    }
    const std::uint64_t a = operands[0];
    const std::uint64_t b = operands[1];
    const std::uint64_t c = operands[2];
    const std::string kOk = "OK\r\n";
    const std::string kRange = "ERR RANGE\r\n";

    if (command.empty() || command == "SA") {
        return {};
    }
    if (command == "V" || command == "R") {
        if (command == "R") {
            std::fill(memory_.begin(), memory_.end(), 0);
        }
        return std::string(kFirmwareBanner) + "\r\n";
    }
    if (command == "DA") {
        return Hex(versions_.data(), versions_.size()) + "\r\n" + kOk;
    }
    if (command == "MR" || command == "MW") {
        if (!InMemory(a, 4)) {
            return kRange;
        }
        std::uint8_t* word = &memory_[a];
        if (command == "MW") {
            for (int i = 0; i < 4; ++i) {
                word[i] = static_cast<std::uint8_t>(b >> (8 * i));
            }
            return kOk;
        }
        const std::uint32_t value =
            word[0] | word[1] << 8 | word[2] << 16 | static_cast<std::uint32_t>(word[3]) << 24;
        return Line("MEM %08X DATA %010X", static_cast<unsigned>(a), value);
    }
    if (command == "MF2") {
        if (b > memory_.size() / 4 || !InMemory(a, 4 * b)) {
            return kRange;
        }
        for (std::uint64_t w = 0; w < b; ++w) {
            for (int i = 0; i < 4; ++i) {
                memory_[a + 4 * w + static_cast<std::uint64_t>(i)] =
                    static_cast<std::uint8_t>(c >> (8 * i));
            }
        }
        return kOk;
    }
    if (command == "MF1") {
        if (!InMemory(a, kPageBytes)) {
            return kRange;
        }
        page_mode_ = true;
        page_address_ = static_cast<std::uint32_t>(a);
        return {};
    }
    if (command == "MD1") {
        return InMemory(a, b) ? Hex(memory_.data() + a, b) + "\r\n" : kRange;
    }
    if (command == "FE") {
        if (!InFlash(a, 1)) {
            return kRange;
        }
        const std::uint64_t sector = a / kFirmwareSectorBytes * kFirmwareSectorBytes;
        std::fill_n(flash_.begin() + static_cast<std::ptrdiff_t>(sector), kFirmwareSectorBytes,
                    0xFF);
        return "ERASED\r\n";
    }
    if (command == "FW" || command == "FL") {
        if (!InFlash(a, c) || !InMemory(b, c)) {
            return kRange;
        }
        for (std::uint64_t i = 0; i < c; ++i) {
            if (command == "FW") {
                flash_[a + i] &= memory_[b + i];  // programming only clears bits
            } else {
                memory_[b + i] = flash_[a + i];
            }
        }
        return kOk;
    }
    if (command == "MC") {
        if (!InMemory(a, b)) {
            return kRange;
        }
        std::uint32_t sum = 0;
        for (std::uint64_t i = 0; i + 4 <= b; i += 4) {
            const std::uint8_t* g = &memory_[a + i];
            sum += static_cast<std::uint32_t>(g[0]) << 24 | g[1] << 16 | g[2] << 8 | g[3];
        }
        return Line("0x%08X", sum);
    }
    return kBadCommand;
}

}  // namespace vantu
