#include "serial/monitor_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vantu {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

}  // namespace

int SplitReply(std::string& reply, std::string_view request, std::vector<std::string>& tokens) {
    std::transform(reply.begin(), reply.end(), reply.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    tokens.clear();
    std::string token;
    auto finish = [&] {
        if (!token.empty() && tokens.size() < kMaxReplyTokens) {
            tokens.push_back(token);
        }
        token.clear();
    };
    for (char c : reply) {
        if (c == '\r' || c == '>') {
            continue;
        }
        if (c == ',' || c == '\n') {
            finish();
        } else if (token.size() < kMaxTokenLength) {
            token.push_back(c);
        }
    }
    finish();
    if (tokens.size() == 1 && tokens[0] == request) {
        return -1;
    }
    return static_cast<int>(tokens.size());
}

std::uint32_t HexField(std::string_view text, std::size_t first, std::size_t length) {
    if (first >= text.size()) {
        return 0;
    }
    std::string_view field = text.substr(first, length);
    if (field.size() > 2 && field[0] == '0' && (field[1] == 'x' || field[1] == 'X')) {
        field.remove_prefix(2);
    }
    std::uint32_t value = 0;
    std::from_chars(field.data(), field.data() + field.size(), value, 16);
    return value;
}

std::size_t HexPairs(std::string_view text, std::size_t first, std::size_t end,
                     std::span<std::uint8_t> out) {
    std::size_t stored = 0;
    for (std::size_t pos = first; pos < end && pos + 1 < text.size() && stored < out.size();
         pos += 2) {
        const int high = HexDigit(text[pos]);
        const int low = HexDigit(text[pos + 1]);
        if (high < 0 || low < 0) {
            break;
        }
        out[stored++] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return stored;
}

void ReverseBits(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    const std::size_t count = std::min(in.size(), out.size());
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t reversed = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if ((in[i] >> bit & 1) != 0) {
                reversed = static_cast<std::uint8_t>(reversed | 1 << (7 - bit));
            }
        }
        out[i] = reversed;
    }
}

std::uint32_t DataChecksum(std::uint32_t initial, std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = initial;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        sum += static_cast<std::uint32_t>(bytes[i]) << 24 |
               static_cast<std::uint32_t>(bytes[i + 1]) << 16 |
               static_cast<std::uint32_t>(bytes[i + 2]) << 8 | bytes[i + 3];
    }
    return sum;
}

}  // namespace vantu
