// Pattern files (.cfg): an 8-byte little-endian header (start offset, data length in
// bytes) followed by the control code words, also little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "card/bar0_map.h"

namespace vantu {

// A pattern fills at most the control code memory, 0xC000-0xDFFF.
inline constexpr std::size_t kMaxPatternWords = kControlCodeWords;
inline constexpr std::uint32_t kMaxPatternBytes = kControlCodeWords * 4;
inline constexpr std::size_t kPatternHeaderBytes = 8;

struct PatternImage {
    std::uint32_t start_offset = 0;
    // Data length as the header states it; a remainder of 1-3 bytes is not used.
    std::uint32_t length = 0;
    // length / 4 words; words the file does not supply are 0.
    std::vector<std::uint32_t> words;
};

struct PatternHeader {
    std::uint32_t start_offset = 0;
    std::uint32_t length = 0;
};

// Why a file cannot be loaded; the loader refuses it before it touches the card.
enum PatternReadResult : int {
    kPatternRead = 0,
    kPatternOpenFailed = -1,  // cannot be opened or read
    kPatternCutHeader = -2,   // shorter than the 8-byte header
    kPatternTooLong = -3,     // length above 8192 bytes
    kPatternUnaligned = -4,   // start offset not a multiple of 4
    kPatternOutside = -5,     // words outside the control code memory 0xC000-0xDFFF
};

// kPatternRead when a header with these fields can be loaded, else why not.
PatternReadResult CheckPatternHeader(std::uint32_t start_offset, std::uint32_t length);

// The reason in a few English words, for the tools; empty for kPatternRead.
std::string_view PatternProblemText(PatternReadResult result);

// nullopt when the bytes are shorter than the header.
std::optional<PatternHeader> ParsePatternHeader(std::string_view bytes);

// Parses a whole file's bytes. A data part shorter than the length leaves zeros.
PatternReadResult ParsePattern(std::string_view bytes, PatternImage& image);

// Reads and parses path. An open failure prints "File Open Failed" to the console.
// Only the header and the 8192 data bytes that can count are read.
PatternReadResult ReadPatternFile(const std::string& path, PatternImage& image);

// The bytes of a pattern file holding words from start_offset on.
std::string EncodePattern(std::uint32_t start_offset, std::span<const std::uint32_t> words);

}  // namespace vantu
