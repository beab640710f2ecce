#include "remote/received_text.h"

#include <cstdio>

namespace vantu {

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
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "<%02X>", code);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace vantu
