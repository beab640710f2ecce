#include "pattern/pattern_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantu {
namespace {

std::string Le32(std::uint32_t value) {
    std::string bytes;
    for (int b = 0; b < 4; ++b) {
        bytes.push_back(static_cast<char>(value >> (8 * b)));
    }
    return bytes;
}

std::string Header(std::uint32_t start, std::uint32_t length) {
    return Le32(start) + Le32(length);
}

TEST(PatternFile, EncodesLittleEndianHeaderAndWords) {
    const std::vector<std::uint32_t> words{0x11223344, 0xA0B0C0D0};
    EXPECT_EQ(EncodePattern(0xC000, words),
              std::string("\x00\xC0\x00\x00\x08\x00\x00\x00\x44\x33\x22\x11\xD0\xC0\xB0\xA0", 16));
}

TEST(PatternFile, ParsesWordsAndFillsWhatTheFileDoesNotSupply) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::uint32_t> words;
    };
    const std::vector<Case> cases = {
        {"four words", EncodePattern(0xC000, std::vector<std::uint32_t>{1, 2, 3, 4}), {1, 2, 3, 4}},
        {"remainder bytes are not used", Header(0xC000, 10) + Le32(7) + Le32(8) + Le32(9), {7, 8}},
        {"data ends early",
         Header(0xC000, 16) + std::string("\x05\x00\x00\x00\x06\x00", 6),
         {5, 6, 0, 0}},
        {"no data at all", Header(0xD000, 8), {0, 0}},
        {"empty pattern", Header(0xC000, 0), {}},
        {"bytes after the length are ignored",
         Header(0xC000, 4) + std::string(12, '\x7F'),
         {0x7F7F7F7F}},
    };
    for (const Case& c : cases) {
        PatternImage image;
        ASSERT_EQ(ParsePattern(c.bytes, image), kPatternRead) << c.what;
        EXPECT_EQ(image.words, c.words) << c.what;
    }
}

TEST(PatternFile, RefusesHeadersThatDoNotFitTheControlCodeMemory) {
    struct Case {
        std::uint32_t start;
        std::uint32_t length;
        PatternReadResult result;
    };
    const std::vector<Case> cases = {
        {0xC000, 8192, kPatternRead},    {0xC000, 8193, kPatternTooLong},
        {0xC000, 8196, kPatternTooLong}, {0xC000, 0xFFFFFFFF, kPatternTooLong},
        {0xC002, 8, kPatternUnaligned},  {0xC001, 4, kPatternUnaligned},
        {0xBFFC, 8, kPatternOutside},    {0x8800, 4, kPatternOutside},
        {0xDFFC, 4, kPatternRead},       {0xDFFC, 8, kPatternOutside},
        {0xC004, 8192, kPatternOutside}, {0xFFFFFFFC, 8, kPatternOutside},
    };
    for (const Case& c : cases) {
        PatternImage image;
        image.words = {0xDEAD};
        const std::string bytes =
            Header(c.start, c.length) + std::string(c.length > 8192 ? 16 : c.length, '\0');
        EXPECT_EQ(ParsePattern(bytes, image), c.result) << std::hex << c.start << " " << c.length;
        EXPECT_EQ(CheckPatternHeader(c.start, c.length), c.result);
        if (c.result != kPatternRead) {
            EXPECT_EQ(image.words, std::vector<std::uint32_t>{0xDEAD});
        }
    }
}

}  // namespace
}  // namespace vantu
