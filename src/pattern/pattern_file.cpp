#include "pattern/pattern_file.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "base/file_bytes.h"

namespace vantu {
namespace {

std::uint32_t LittleEndianWord(std::string_view bytes, std::size_t at) {
    std::uint32_t word = 0;
    for (std::size_t b = 0; b < 4 && at + b < bytes.size(); ++b) {
        word |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + b])) << (8 * b);
    }
    return word;
}

void AppendLittleEndian(std::string& out, std::uint32_t word) {
    for (int b = 0; b < 4; ++b) {
        out.push_back(static_cast<char>((word >> (8 * b)) & 0xFF));
    }
}

}  // namespace

PatternReadResult CheckPatternHeader(std::uint32_t start_offset, std::uint32_t length) {
    if (length > kMaxPatternBytes) {
        return kPatternTooLong;
    }
    if (start_offset % 4 != 0) {
        return kPatternUnaligned;
    }
    const std::uint64_t end = std::uint64_t{start_offset} + length / 4 * 4;
    if (start_offset < kControlCodeMemory || end > kControlCodeMemory + kMaxPatternBytes) {
        return kPatternOutside;
    }
    return kPatternRead;
}

std::string_view PatternProblemText(PatternReadResult result) {
    switch (result) {
        case kPatternRead:
            break;
        case kPatternOpenFailed:
            return "cannot be opened or read";
        case kPatternCutHeader:
            return "shorter than the 8-byte header";
        case kPatternTooLong:
            return "length above 8192 bytes";
        case kPatternUnaligned:
            return "start offset not a multiple of 4";
        case kPatternOutside:
            return "words outside the control code memory 0xC000-0xDFFF";
    }
    return {};
}

std::optional<PatternHeader> ParsePatternHeader(std::string_view bytes) {
    if (bytes.size() < kPatternHeaderBytes) {
        return std::nullopt;
    }
    return PatternHeader{LittleEndianWord(bytes, 0), LittleEndianWord(bytes, 4)};
}

PatternReadResult ParsePattern(std::string_view bytes, PatternImage& image) {
    const std::optional<PatternHeader> header = ParsePatternHeader(bytes);
    if (!header) {
        return kPatternCutHeader;
    }
    const auto [start_offset, length] = *header;
    if (const PatternReadResult check = CheckPatternHeader(start_offset, length);
        check != kPatternRead) {
        return check;
    }
    std::string_view data = bytes.substr(kPatternHeaderBytes);
    data = data.substr(0, std::min<std::size_t>(data.size(), length));
    image.start_offset = start_offset;
    image.length = length;
    image.words.assign(length / 4, 0);
    for (std::size_t i = 0; i < image.words.size(); ++i) {
        image.words[i] = LittleEndianWord(data, 4 * i);
    }
    return kPatternRead;
}

PatternReadResult ReadPatternFile(const std::string& path, PatternImage& image) {
    // A valid file never has more than the header and 8192 data bytes that count; a
    // FIFO or device under a pattern's name is refused rather than waited on.
    std::string error;
    const std::optional<std::string> bytes =
        ReadFileHead(path, kPatternHeaderBytes + kMaxPatternBytes, error);
    if (!bytes) {
        std::fputs("File Open Failed\n", stdout);
        return kPatternOpenFailed;
    }
    return ParsePattern(*bytes, image);
}

std::string EncodePattern(std::uint32_t start_offset, std::span<const std::uint32_t> words) {
    std::string out;
    out.reserve(kPatternHeaderBytes + 4 * words.size());
    AppendLittleEndian(out, start_offset);
    AppendLittleEndian(out, static_cast<std::uint32_t>(4 * words.size()));
    for (std::uint32_t word : words) {
        AppendLittleEndian(out, word);
    }
    return out;
}

}  // namespace vantu
