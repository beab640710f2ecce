#include "base/encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>

namespace vantu {
namespace {

struct Replacement {
    std::string_view bytes;
    std::size_t consumed;
};

// Characters that Windows code page 950 converts and glibc's CP950 does not: the
// Big5 forms the Windows conversion gives them (glibc's BIG5-HKSCS agrees on each).
struct WindowsOnlyForm {
    std::string_view utf8;
    std::string_view ansi;
};
constexpr WindowsOnlyForm kWindowsOnlyForms[] = {
    {"¢", "\xA2\x46"}, {"£", "\xA2\x47"}, {"¥", "\xA2\x44"}, {"•", "\xA1\x45"},
    {"‾", "\xA1\xC2"}, {"∼", "\xA1\xE3"}, {"☉", "\xA1\xF3"}, {"♁", "\xA1\xF2"},
};

// One conversion direction, opened once per thread: iconv_open is far dearer than a
// line's conversion, and every log line goes through here.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts input; at an unconvertible or invalid sequence asks `fallback` for the
    // bytes to write and the number of input bytes they stand for.
    template <typename Fallback>
    std::string Run(std::string_view input, Fallback fallback) {
        std::string out;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            return out;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.resize(input.size() * 2 + 16);
        char* in_ptr = const_cast<char*>(input.data());
        std::size_t in_left = input.size();
        std::size_t used = 0;
        while (in_left > 0) {
            char* out_ptr = out.data() + used;
            std::size_t out_left = out.size() - used;
            std::size_t rc = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
            used = out.size() - out_left;
            if (rc != static_cast<std::size_t>(-1)) {
                break;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL: an unconvertible, invalid or cut-off sequence.
            const Replacement replacement = fallback(std::string_view(in_ptr, in_left));
            in_ptr += replacement.consumed;
            in_left -= replacement.consumed;
            out.resize(std::max(out.size(), used + replacement.bytes.size() + 16));
            out.replace(used, replacement.bytes.size(), replacement.bytes);
            used += replacement.bytes.size();
        }
        out.resize(used);
        return out;
    }

  private:
    iconv_t cd_;
};

std::size_t Utf8SequenceLength(std::string_view rest) {
    auto lead = static_cast<unsigned char>(rest.front());
    std::size_t n = 1;
    if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
    } else if (lead >= 0xE0) {
        n = 3;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    }
    // A sequence cut short (by the end of the text or a non-continuation byte)
    // counts as one bad character.
    n = std::min(n, rest.size());
    for (std::size_t i = 1; i < n; ++i) {
        if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) {
            return i;
        }
    }
    return n;
}

std::size_t AnsiSequenceLength(std::string_view rest) {
    auto lead = static_cast<unsigned char>(rest.front());
    return (lead >= 0x81 && lead <= 0xFE && rest.size() >= 2) ? 2 : 1;
}

std::size_t Utf16UnitLength(std::string_view rest) {
    return rest.size() >= 2 ? 2 : rest.size();
}

// A fallback that writes `mark` for the sequence `length` measures.
template <std::size_t (*length)(std::string_view)>
auto Mark(std::string_view mark) {
    return [mark](std::string_view rest) { return Replacement{mark, length(rest)}; };
}

Replacement WindowsFormOrQuestionMark(std::string_view rest) {
    const std::size_t length = Utf8SequenceLength(rest);
    for (const WindowsOnlyForm& form : kWindowsOnlyForms) {
        if (rest.substr(0, length) == form.utf8) {
            return {form.ansi, length};
        }
    }
    return {"?", length};
}

bool IsAscii(std::string_view text) {
    return std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

// CP950 keeps ASCII as it is, and most log lines are ASCII alone: they skip iconv.
std::string ToAnsi(std::string_view utf8) {
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    thread_local Converter converter("CP950", "UTF-8");
    return converter.Run(utf8, WindowsFormOrQuestionMark);
}

std::string FromAnsi(std::string_view ansi) {
    thread_local Converter converter("UTF-8", "CP950");
    return converter.Run(ansi, Mark<AnsiSequenceLength>("?"));
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t n = Utf8SequenceLength(text.substr(i));
        if (n < 2 || lead < 0xC2 || lead > 0xF4) {
            return false;
        }
        auto second = static_cast<unsigned char>(text[i + 1]);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
            return false;
        }
        std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (n != expected) {
            return false;
        }
        i += n;
    }
    return true;
}

TextEncoding DetectSettingsEncoding(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        return TextEncoding::Utf16Le;
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return TextEncoding::Utf16Be;
    }
    if (bytes.starts_with("\xEF\xBB\xBF") && IsValidUtf8(bytes.substr(3))) {
        return TextEncoding::Utf8Bom;
    }
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

std::string_view ByteOrderMark(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf16Le:
            return "\xFF\xFE";
        case TextEncoding::Utf16Be:
            return "\xFE\xFF";
        case TextEncoding::Utf8Bom:
            return "\xEF\xBB\xBF";
        case TextEncoding::Utf8:
        case TextEncoding::Ansi:
            break;
    }
    return {};
}

std::string DecodeText(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf16Le: {
            thread_local Converter converter("UTF-8", "UTF-16LE");
            return converter.Run(bytes, Mark<Utf16UnitLength>("?"));
        }
        case TextEncoding::Utf16Be: {
            thread_local Converter converter("UTF-8", "UTF-16BE");
            return converter.Run(bytes, Mark<Utf16UnitLength>("?"));
        }
        case TextEncoding::Ansi:
            return FromAnsi(bytes);
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            break;
    }
    return std::string(bytes);
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf16Le: {
            thread_local Converter converter("UTF-16LE", "UTF-8");
            return converter.Run(utf8, Mark<Utf8SequenceLength>(std::string_view("?\0", 2)));
        }
        case TextEncoding::Utf16Be: {
            thread_local Converter converter("UTF-16BE", "UTF-8");
            return converter.Run(utf8, Mark<Utf8SequenceLength>(std::string_view("\0?", 2)));
        }
        case TextEncoding::Ansi:
            return ToAnsi(utf8);
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            break;
    }
    return std::string(utf8);
}

}  // namespace vantu
