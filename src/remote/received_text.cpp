#include "remote/received_text.h"

#include <cstdio>

namespace vantu {
namespace {

std::string Escaped(unsigned char code) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "<%02X>", code);
    return escaped;
}

}  // namespace

std::string DecodeReceivedLine(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return text;
}

std::string ShowControlCharacters(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (code < 0x20 || code == 0x7F) {
            shown += Escaped(code);
        } else if (code == 0xC2 && next >= 0x80 && next <= 0x9F) {
            // U+0080..U+009F: the log's code page would write them as raw bytes.
            shown += Escaped(next);
            ++i;
        } else {
            shown += text[i];
        }
    }
    return shown;
}

}  // namespace vantu
