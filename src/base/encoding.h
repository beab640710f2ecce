// Text is UTF-8 inside the station and the Traditional Chinese ANSI code page
// (CP950, Big5) in the files and on the wire it shares with the original tools.
#pragma once

#include <string>
#include <string_view>

namespace vantu {

// UTF-8 to CP950; characters without a CP950 form (and invalid UTF-8) become "?".
std::string ToAnsi(std::string_view utf8);

// CP950 to UTF-8; bytes that do not decode become "?".
std::string FromAnsi(std::string_view ansi);

bool IsValidUtf8(std::string_view text);

enum class TextEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Ansi };

struct DecodedText {
    std::string utf8;
    TextEncoding encoding = TextEncoding::Utf8;
};

// Reads a settings file's bytes: UTF-16 when a byte order mark says so, UTF-8 when
// valid (with or without its byte order mark), CP950 otherwise.
DecodedText DecodeSettingsText(std::string_view bytes);

// The inverse of DecodeSettingsText for the encoding the file was read in.
std::string EncodeSettingsText(std::string_view utf8, TextEncoding encoding);

}  // namespace vantu
