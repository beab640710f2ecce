#include "base/number_text.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>

namespace vantu {
namespace {

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        text.remove_prefix(1);
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The run of hexadecimal digits after optional blanks and "0x".
std::string_view HexDigits(std::string_view text) {
    text = SkipBlanks(text);
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    std::size_t count = 0;
    while (count < text.size() && HexDigit(text[count]) >= 0) {
        ++count;
    }
    return text.substr(0, count);
}

}  // namespace

std::int32_t ParseDecimal(std::string_view text) {
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = std::min(value * 10 + (c - '0'), kLimit);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t ParseHex(std::string_view text) {
    std::uint32_t value = 0;
    for (char c : HexDigits(text)) {
        value = (value << 4) | static_cast<std::uint32_t>(HexDigit(c));
    }
    return value;
}

std::optional<std::uint32_t> ParseHex32(std::string_view text) {
    const std::string_view digits = HexDigits(text);
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : digits) {
        value = (value << 4) | static_cast<std::uint64_t>(HexDigit(c));
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace vantu
