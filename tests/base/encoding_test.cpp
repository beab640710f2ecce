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

TEST(Encoding, SettingsTextDetection) {
    DecodedText utf8 = DecodeSettingsText("[A]\nK=溫度\n");
    EXPECT_EQ(utf8.encoding, TextEncoding::Utf8);
    EXPECT_EQ(utf8.utf8, "[A]\nK=溫度\n");

    DecodedText bom = DecodeSettingsText("\xEF\xBB\xBFK=1");
    EXPECT_EQ(bom.encoding, TextEncoding::Utf8Bom);
    EXPECT_EQ(bom.utf8, "K=1");

    DecodedText utf16 = DecodeSettingsText(std::string("\xFF\xFEK\0=\0" "1\0", 8));
    EXPECT_EQ(utf16.encoding, TextEncoding::Utf16Le);
    EXPECT_EQ(utf16.utf8, "K=1");
    EXPECT_EQ(EncodeSettingsText(utf16.utf8, utf16.encoding),
              std::string("\xFF\xFEK\0=\0" "1\0", 8));

    DecodedText big5 = DecodeSettingsText("K=\xB7\xC5\xAB\xD7");
    EXPECT_EQ(big5.encoding, TextEncoding::Ansi);
    EXPECT_EQ(big5.utf8, "K=溫度");
    EXPECT_EQ(EncodeSettingsText(big5.utf8, big5.encoding), "K=\xB7\xC5\xAB\xD7");
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
