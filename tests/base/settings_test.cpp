#include "base/settings.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/ini_file.h"
#include "fake_ports.h"
#include "temp_dir.h"

namespace vantu {
namespace {

using testing::FakePrompts;
using testing::TempDir;

std::string ColourSection() {
    std::string text = "[TEMP_COLOR]\n";
    for (int i = 0; i < kTempColourCount; ++i) {
        text += TempColourKey(i) + "= 0x" + std::to_string(i + 1) + "0\n";
    }
    return text;
}

std::string MaskSection(const std::string& first_value) {
    std::string text = "[SHOW_TRM_TEMP]\n";
    for (int m = 0; m < kModuleCount; ++m) {
        text += MaskKey(m) + "=" + (m == 0 ? first_value : "FF-FF-FF-FF") + "\n";
    }
    return text;
}

// A station directory and what a load or save of its setup.ini works on.
class SettingsTest : public ::testing::Test {
  protected:
    int Load() { return LoadSettings(dir.path(), prompts, shared, station); }
    int Load(const std::string& ini) {
        dir.Write("setup.ini", ini);
        return Load();
    }

    TempDir dir;
    FakePrompts prompts;
    SharedSettings shared;
    StationSettings station;
};

TEST_F(SettingsTest, CompleteLoad) {
    ASSERT_EQ(Load("[COM_PORT]\nCOM_PORT=3\n"
                   "[SP_PATTERN]\nSET_MAX_CNT=3\nFILE_PATH=SP Pattern\n"
                   "PAT_FILE_1=a.cfg\nPAT_FILE_2=\nPAT_FILE_3=c.cfg\nPAT_FILE_4=d.cfg\n" +
                   ColourSection() + "[REF_LINE_COLOR]\nREF_LINE_CLR= 0xff\n" + MaskSection("1-2")),
              0);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(std::tuple(station.com_port, station.pattern_dir_name, station.pattern_dir),
              std::tuple(3, "SP Pattern", dir.path() + "/SP Pattern"));
    EXPECT_EQ(station.pattern_list, (std::vector<std::string>{"a.cfg", "c.cfg"}));
    const TempColourRecord& first = shared.temp_colours[0];
    const TempColourRecord& last = shared.temp_colours[16];
    EXPECT_EQ(
        std::tuple(first.label, first.colour, last.label, last.colour, shared.ref_line_colour),
        std::tuple(">74", 0x10u, "NULL", 0x170u, 0xFFu));
    // How each mask's tokens are read is MaskTokens's; here the walk reaches the last module.
    EXPECT_EQ(shared.temp_masks[160], 0xFFFFFFFFu);
}

TEST_F(SettingsTest, MaskTokens) {
    struct Case {
        const char* value;
        std::uint32_t before;
        std::uint32_t after;
    };
    const Case cases[] = {
        {"FF-FF-FF-FF-7", 0, 0xFFFFFFFF},
        {"1FF-0x2", 0x11111111, 0xFF020011},
        {"1--3", 0x11111111, 0x01001111},
        {"zz", 0x11111111, 0x00001111},
    };
    for (const Case& c : cases) {
        shared.temp_masks[0] = c.before;
        EXPECT_EQ(
            Load(ColourSection() + "[REF_LINE_COLOR]\nREF_LINE_CLR=1\n" + MaskSection(c.value)), 0)
            << c.value;
        EXPECT_EQ(shared.temp_masks[0], c.after) << c.value;
    }
}

TEST_F(SettingsTest, FailuresStopTheReadWithTheirWarning) {
    // Missing file: defaults, and the first colour key fails.
    EXPECT_EQ(Load(), 1);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              "無法讀取 [ setup.ini ]-[TEMP_COLOR]  >74設定檔資料 !         ");
    EXPECT_EQ(std::tuple(station.com_port, station.pattern_dir, station.pattern_list.size()),
              std::tuple(1, dir.path(), 0u));

    // A missing "55-59" stops the read: later colours, the reference colour and the
    // masks stay unread.
    std::string colours = ColourSection();
    colours.replace(colours.find("55-59"), 5, "xx");
    prompts.shown.clear();
    shared = SharedSettings{};
    EXPECT_EQ(Load(colours + "[REF_LINE_COLOR]\nREF_LINE_CLR=1\n" + MaskSection("1")), 1);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              "無法讀取 [ setup.ini ]-[TEMP_COLOR]  55-59設定檔資料 !         ");
    EXPECT_EQ(std::tuple(shared.temp_colours[3].label, shared.temp_colours[4].label,
                         shared.ref_line_colour),
              std::tuple("60-64", "", 0u));

    std::string masks = MaskSection("1");
    masks.replace(masks.find("M[100]="), 7, "M[1OO]=");
    prompts.shown.clear();
    EXPECT_EQ(Load(ColourSection() + "[REF_LINE_COLOR]\nREF_LINE_CLR=1\n" + masks), 1);
    EXPECT_EQ(prompts.shown.at(0).text,
              "無法讀取 [ setup.ini ]-[SHOW_TRM_TEMP] M[100]設定檔資料 !         ");
}

TEST_F(SettingsTest, SaveRewritesOnlyItsKeysInPlace) {
    const std::string rest = "[REF_LINE_COLOR]\r\n; operator's note\r\nREF_LINE_CLR=0x1\r\n";
    dir.Write("setup.ini",
              "[COM_PORT]\r\nCOM_PORT=2\r\n[TEMP_COLOR]\r\n>74=1\r\nNULL=2\r\n" + rest);
    for (int i = 0; i < kTempColourCount; ++i) {
        shared.temp_colours[static_cast<std::size_t>(i)] = {TempColourKey(i),
                                                            static_cast<Colour>(0xA0 + i)};
    }
    shared.ref_line_colour = 0x00FF00;

    ASSERT_EQ(SaveSettings(dir.path(), kSaveTempColours, shared, prompts), 0);
    ASSERT_EQ(SaveSettings(dir.path(), kSaveRefLineColour, shared, prompts), 0);
    std::string expected =
        "[COM_PORT]\r\nCOM_PORT=2\r\n[TEMP_COLOR]\r\n>74= 0xa0\r\nNULL= 0xb0\r\n";
    for (int i = 1; i < 16; ++i) {
        expected += TempColourKey(i) + "=" + ColourText(static_cast<Colour>(0xA0 + i)) + "\r\n";
    }
    expected += "[REF_LINE_COLOR]\r\n; operator's note\r\nREF_LINE_CLR= 0xff00\r\n";
    EXPECT_EQ(dir.Read("setup.ini"), expected);
    EXPECT_TRUE(prompts.shown.empty());

    // A record whose label is out of line stops the walk at that key's turn.
    shared.temp_colours[1].label = "odd";
    shared.temp_colours[0].colour = 0x5;
    ASSERT_EQ(SaveSettings(dir.path(), kSaveTempColours, shared, prompts), 0);
    EXPECT_EQ(IniFile::Load(dir.File("setup.ini")).Get("TEMP_COLOR", ">74"), "0x5");
    EXPECT_EQ(IniFile::Load(dir.File("setup.ini")).Get("TEMP_COLOR", "70-74"), "0xa1");
}

TEST_F(SettingsTest, FailedSaveWarns) {
    EXPECT_EQ(SaveSettings(dir.path() + "/missing", kSaveRefLineColour, shared, prompts), 1);
    EXPECT_EQ(prompts.shown.at(0).text,
              "無法儲存 [ setup.ini ]-[REF_LINE_COLOR] REF_LINE_CLR 設定檔資料 !         ");
    shared.temp_colours[0].label = ">74";
    EXPECT_EQ(SaveSettings(dir.path() + "/missing", kSaveTempColours, shared, prompts), 1);
    EXPECT_EQ(prompts.shown.at(1).text,
              "無法儲存 [ setup.ini ]-[TEMP_COLOR]  >74設定檔資料 !         ");
}

TEST_F(SettingsTest, PatternListWalksOnlyTheKeysTheFileHolds) {
    struct Case {
        const char* pattern_keys;
        std::vector<std::string> list;
    };
    // A count of 2147483647 must not walk two thousand million keys.
    const Case cases[] = {
        {"SET_MAX_CNT=2147483647\nPAT_FILE_1=a.cfg\nPAT_FILE_3=c.cfg\n"
         "PAT_FILE_2147483647=z.cfg\n",
         {"a.cfg", "c.cfg", "z.cfg"}},
        {"SET_MAX_CNT=2\n  pat_file_2 = b.cfg\nPAT_FILE_1=a.cfg\nPAT_FILE_3=c.cfg\n",
         {"a.cfg", "b.cfg"}},
        {"SET_MAX_CNT=9\nPAT_FILE_02=x.cfg\nPAT_FILE_1=\n", {}},
    };
    for (const Case& c : cases) {
        station = StationSettings{};
        Load(std::string("[SP_PATTERN]\n") + c.pattern_keys +
             "[OTHER]\nPAT_FILE_4=elsewhere.cfg\n");
        EXPECT_EQ(station.pattern_list, c.list) << c.pattern_keys;
    }
}

}  // namespace
}  // namespace vantu
