// Received bytes as station text. The protocol is ASCII; any other byte becomes the
// character with its code, so a line is always valid UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vantu {

// Each byte becomes the character of the same code (ISO 8859-1), in UTF-8.
std::string DecodeReceivedLine(std::string_view bytes);

// Control characters (below 0x20, 0x7F and U+0080..U+009F) written as "<XX>" of their
// code in upper-case hexadecimal, so that a client's text can neither break nor forge a
// log line.
std::string ShowControlCharacters(std::string_view text);

}  // namespace vantu
