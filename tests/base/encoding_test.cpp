#include "base/encoding.h"

#include <gtest/gtest.h>

#include "base/number_text.h"

namespace vantu {
namespace {

TEST(Encoding, AnsiRoundTripAndReplacement) {
    // "記錄檔" in Big5, as the log header carries it.
    EXPECT_EQ(ToAnsi("記錄檔"), "\xB0\x4F\xBF\xFD\xC0\xC9");
    EXPECT_EQ(FromAnsi("\xB0\x4F\xBF\xFD\xC0\xC9"), "記錄檔");
    // No CP950 form (emoji, Korean) and invalid UTF-8 become "?", one per character.
    EXPECT_EQ(ToAnsi("a😀b한c"), "a?b?c");
    EXPECT_EQ(ToAnsi("x\xFFy"), "x?y");
    EXPECT_EQ(ToAnsi("cut\xE8\xA8"), "cut?");
    EXPECT_EQ(ToAnsi(std::string("nul\0byte", 8)), std::string("nul\0byte", 8));
    EXPECT_EQ(FromAnsi("ok\xFF"), "ok?");
}

TEST(Encoding, WindowsFormsGlibcLacksConvertLikeTheWindowsCodePage) {
    struct Case {
        const char* utf8;
        const char* ansi;
        const char* windows_reads_back;
    };
    const Case cases[] = {
        {"¢", "\xA2\x46", "￠"},
        {"•", "\xA1\x45", "‧"},
        {"☉", "\xA1\xF3", "⊙"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToAnsi(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(FromAnsi(c.ansi), c.windows_reads_back) << c.utf8;
    }
    EXPECT_EQ(ToAnsi("a¢b•\xFF☉"),
              "a\xA2\x46"
              "b\xA1\x45?\xA1\xF3");
}

TEST(Encoding, SettingsEncodings) {
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        std::string text;  // after the byte order mark
    };
    const Case cases[] = {
        {"[A]\nK=溫度\n", TextEncoding::Utf8, "[A]\nK=溫度\n"},
        {"\xEF\xBB\xBFK=1", TextEncoding::Utf8Bom, "K=1"},
        {std::string("\xFF\xFEK\0=\0\x31\0", 8), TextEncoding::Utf16Le, "K=1"},
        {"K=\xB7\xC5\xAB\xD7", TextEncoding::Ansi, "K=溫度"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(DetectSettingsEncoding(c.bytes), c.encoding) << c.text;
        const std::string_view body =
            std::string_view(c.bytes).substr(ByteOrderMark(c.encoding).size());
        EXPECT_EQ(DecodeText(body, c.encoding), c.text);
        EXPECT_EQ(EncodeText(c.text, c.encoding), body);
    }
}

TEST(NumberText, LeadingDigitsAndNoNumber) {
    struct Case {
        const char* text;
        std::int32_t decimal;
        std::uint32_t hex;
    };
    const Case cases[] = {
        {"", 0, 0x0},
        {"abc", 0, 0xABC},
        {"  12xyz", 12, 0x12},
        {" 0x00ff00", 0, 0xFF00},
        {"0XfF", 0, 0xFF},
        {"-7", -7, 0},
        {"99999999999", 2147483647, 0x99999999},
        {"g1", 0, 0},
        {"0x", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDecimal(c.text), c.decimal) << c.text;
        EXPECT_EQ(ParseHex(c.text), c.hex) << c.text;
    }
}

}  // namespace
}  // namespace vantu
