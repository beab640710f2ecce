#include "pattern/pattern_loader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "card/card_ops.h"
#include "pattern/opcode_listing.h"
#include "pattern/pattern_file.h"
#include "pattern_station.h"

namespace vantu {
namespace {

using Lines = std::vector<std::string>;

class PatternLoaderTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const {
        return station.settings.pattern_dir + "/" + name;
    }
    int Load(const std::string& name, bool show_boxes) {
        return station.loader.LoadPattern(station.card, Path(name), show_boxes);
    }

    testing::PatternStation station;
};

TEST_F(PatternLoaderTest, FourWordsGoToTheCardTableAndListing) {
    ASSERT_NE(station.card, nullptr);
    WriteCardRegister(station.card, 0xC010, 0x77777777);
    station.WritePattern("four.cfg", 0xC000, {0xA0000001, 0xB0000002, 0xA0000003, 0xB0000004});

    ASSERT_EQ(Load("four.cfg", true), 0);

    const std::vector<std::uint32_t> code = station.ControlCode();
    EXPECT_EQ(
        std::vector(code.begin(), code.begin() + 5),
        (std::vector<std::uint32_t>{0xA0000001, 0xB0000002, 0xA0000003, 0xB0000004, 0x77777777}));
    // The listing is read from the table; the remote parameter commands look entries up.
    EXPECT_EQ(station.OpCodeLines(),
              (Lines{"Load OP Code Pattern", "Pattern (cfg) : " + Path("four.cfg"),
                     "cnt[00] index[00] addr[0000C000] code[A0000001]",
                     "cnt[01] index[00] addr[0000C004] cmd [B0000002]",
                     "cnt[02] index[01] addr[0000C008] code[A0000003]",
                     "cnt[03] index[01] addr[0000C00C] cmd [B0000004]"}));
    ASSERT_EQ(station.prompts.shown.size(), 1u);
    EXPECT_EQ(station.prompts.shown[0].icon, PromptIcon::Information);
    EXPECT_EQ(station.LogLines(), Lines{"QDX 全型機箱控制執行碼已載入完成 !              "});
    EXPECT_TRUE(station.main_page.run_button_enabled);
}

// Past two digits the counters widen; hexadecimal is upper case.
TEST(OpCodeListing, WideCountersAndUpperCaseHex) {
    EXPECT_EQ(OpCodeListingLine(10, {0xDFFC, 0xabcdef01}),
              "cnt[10] index[05] addr[0000DFFC] code[ABCDEF01]");
    EXPECT_EQ(OpCodeListingLine(2047, {0xC0A0, 0}),
              "cnt[2047] index[1023] addr[0000C0A0] cmd [00000000]");
}

TEST_F(PatternLoaderTest, ASecondLoadReplacesTableAndListing) {
    station.WritePattern("first.cfg", 0xC000, {1, 2, 3, 4, 5, 6});
    station.WritePattern("second.cfg", 0xC100, {9});
    ASSERT_EQ(Load("first.cfg", false), 0);
    ASSERT_EQ(Load("second.cfg", false), 0);  // one word: an odd trailing parameter

    EXPECT_EQ(station.table.parameter_count(), 1u);
    EXPECT_EQ(station.OpCodeLines(),
              (Lines{"Load OP Code Pattern", "Pattern (cfg) : " + Path("second.cfg"),
                     "cnt[00] index[00] addr[0000C100] code[00000009]"}));
}

TEST_F(PatternLoaderTest, RefusedFilesLeaveCardTableAndListingAlone) {
    station.WritePattern("good.cfg", 0xC000, {0x10, 0x20, 0x30, 0x40});
    ASSERT_EQ(Load("good.cfg", false), 0);
    const std::vector<std::uint32_t> card_before = station.ControlCode();
    const std::string listing_before = station.dir.Read("op_code.log");

    // Each refusal gives its own reason in the log.
    station.WritePatternBytes("long.cfg",
                              EncodePattern(0xC000, std::vector<std::uint32_t>(2049, 0xFF)));
    station.WritePattern("unaligned.cfg", 0xC002, {1, 2});
    station.WritePattern("below.cfg", 0xBFFC, {1, 2});
    station.WritePattern("beyond.cfg", 0xDFF8, {1, 2, 3});
    station.WritePatternBytes("cut.cfg", std::string("\x00\xC0\x00", 3));
    station.dir.MakeDir(std::string(testing::kPatternDirName) + "/folder.cfg");
    ::mkfifo(station.dir.File(std::string(testing::kPatternDirName) + "/fifo.cfg").c_str(), 0644);
    const std::vector<std::pair<std::string, std::string>> refusals{
        {"long.cfg", "資料長度超過 8192 位元組"},
        {"unaligned.cfg", "起始位址不是 4 的倍數"},
        {"below.cfg", "資料超出控制執行碼記憶體 0xC000-0xDFFF"},
        {"beyond.cfg", "資料超出控制執行碼記憶體 0xC000-0xDFFF"},
        {"cut.cfg", "檔案不足 8 位元組的檔頭"},
        {"missing.cfg", "檔案無法開啟或讀取"},
        {"folder.cfg", "檔案無法開啟或讀取"},
        {"fifo.cfg", "檔案無法開啟或讀取"},
    };
    for (const auto& [name, reason] : refusals) {
        station.prompts.shown.clear();
        EXPECT_NE(Load(name, true), 0) << name;
        ASSERT_EQ(station.prompts.shown.size(), 1u) << name;
        EXPECT_EQ(station.prompts.shown[0].icon, PromptIcon::Error);
        EXPECT_NE(station.prompts.shown[0].text.find("原因 : " + reason), std::string::npos);
        const std::vector<std::string> log = station.LogLines();
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log[log.size() - 2], "無法讀取 [ " + name + " ] 資料錯誤 !");
        EXPECT_EQ(log.back(), "無法讀取 [ " + name + " ] 原因 : " + reason);
        EXPECT_EQ(station.ControlCode(), card_before) << name;
        EXPECT_EQ(station.table.parameter_count(), 2u) << name;
        EXPECT_EQ(station.dir.Read("op_code.log"), listing_before) << name;
    }

    station.prompts.shown.clear();
    EXPECT_NE(Load("missing.cfg", false), 0);
    EXPECT_TRUE(station.prompts.shown.empty());
}

}  // namespace
}  // namespace vantu
