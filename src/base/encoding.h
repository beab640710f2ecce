// Text is UTF-8 inside the station and the Traditional Chinese ANSI code page
// (CP950, Big5) in the files and on the wire it shares with the original tools.
#pragma once

#include <string>
#include <string_view>

namespace vantu {

// UTF-8 to CP950 as the Windows code page converts it, including the forms it gives
// characters that glibc's CP950 lacks (¢ £ ¥ • ‾ ∼ ☉ ♁); characters without any
// CP950 form (and invalid UTF-8) become "?".
std::string ToAnsi(std::string_view utf8);

// CP950 to UTF-8; bytes that do not decode become "?".
std::string FromAnsi(std::string_view ansi);

bool IsValidUtf8(std::string_view text);

enum class TextEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Ansi };

// The encoding of a settings file's bytes: UTF-16 when a byte order mark says so,
// UTF-8 when valid (with or without its byte order mark), CP950 otherwise.
TextEncoding DetectSettingsEncoding(std::string_view bytes);

// The byte order mark a file in the encoding starts with; empty for none.
std::string_view ByteOrderMark(TextEncoding encoding);

// Text in the encoding, without its byte order mark, to UTF-8 and back; what does
// not convert becomes "?".
std::string DecodeText(std::string_view bytes, TextEncoding encoding);
std::string EncodeText(std::string_view utf8, TextEncoding encoding);

}  // namespace vantu
