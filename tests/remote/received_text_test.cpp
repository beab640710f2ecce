#include "remote/received_text.h"

#include <gtest/gtest.h>

namespace vantu {
namespace {

TEST(ReceivedText, ControlCharactersBecomeVisibleAndTheRestStays) {
    std::string all_controls;
    std::string expected;
    for (int c = 0; c < 0x20; ++c) {
        all_controls += static_cast<char>(c);
        char hex[5];
        std::snprintf(hex, sizeof hex, "<%02X>", c);
        expected += hex;
    }
    EXPECT_EQ(ShowControlCharacters(all_controls + "\x7F"), expected + "<7F>");
    EXPECT_EQ(ShowControlCharacters("PL 100%d x.cfg ~!"), "PL 100%d x.cfg ~!");
    EXPECT_EQ(ShowControlCharacters("載入 é"), "載入 é");
    // Received bytes 0x7F..0xA0 as decoded: the C1 controls are escaped, the rest kept.
    EXPECT_EQ(ShowControlCharacters(DecodeReceivedLine("\x7F\x80\x9F\xA0\xC2")),
              "<7F><80><9F>\u00A0\u00C2");
    // Each received byte is the character of its code, NUL and 0xFF too.
    EXPECT_EQ(DecodeReceivedLine(std::string("P\x00\xFF", 3)), std::string("P\x00\xC3\xBF", 4));
}

}  // namespace
}  // namespace vantu
