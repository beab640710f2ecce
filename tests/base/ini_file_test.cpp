#include "base/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "base/encoding.h"
#include "base/file_bytes.h"
#include "base/number_text.h"
#include "temp_dir.h"

namespace vantu {
namespace {

TEST(IniFile, LookupLikeTheProfileRoutines) {
    IniFile ini = IniFile::Parse(
        "; station settings\r\n"
        "[ Sp_Pattern ]\r\n"
        "  file_path =  SP Pattern  \r\n"
        "QUOTED=\"a b\"\r\n"
        "novalue\r\n"
        "EMPTY=\r\n"
        "[OTHER]\r\n"
        "FILE_PATH=elsewhere\r\n");
    EXPECT_EQ(ini.Get("SP_PATTERN", "FILE_PATH"), "SP Pattern");
    EXPECT_EQ(ini.Get("sp_pattern", "quoted"), "a b");
    EXPECT_EQ(ini.Get("SP_PATTERN", "EMPTY"), "");
    EXPECT_EQ(ini.Get("SP_PATTERN", "novalue"), std::nullopt);
    EXPECT_EQ(ini.Get("SP_PATTERN", "MISSING"), std::nullopt);
    EXPECT_EQ(ini.Get("MISSING", "FILE_PATH"), std::nullopt);
    EXPECT_EQ(ini.Get("OTHER", "FILE_PATH"), "elsewhere");
}

TEST(IniFile, SetReplacesInPlaceAndKeepsEverythingElse) {
    const std::string original =
        "; keep me\r\n"
        "[TEMP_COLOR]\r\n"
        ">74 = 0x0000ff ; old\r\n"
        "unknown line\r\n"
        "70-74=0x1\r\n"
        "\r\n"
        "[REF_LINE_COLOR]\r\n"
        "REF_LINE_CLR=0x2\r\n";
    IniFile ini = IniFile::Parse(original);
    ini.Set("TEMP_COLOR", ">74", " 0xff");
    ini.Set("TEMP_COLOR", "65-69", " 0x3");
    ini.Set("NEW", "KEY", "v");
    EXPECT_EQ(ini.Serialise(),
              "; keep me\r\n"
              "[TEMP_COLOR]\r\n"
              ">74= 0xff\r\n"
              "unknown line\r\n"
              "70-74=0x1\r\n"
              "65-69= 0x3\r\n"
              "\r\n"
              "[REF_LINE_COLOR]\r\n"
              "REF_LINE_CLR=0x2\r\n"
              "[NEW]\r\n"
              "KEY=v\r\n");
}

TEST(IniFile, LinesTheSaveDoesNotChangeKeepTheirBytes) {
    // CP950 with a pair glibc cannot decode (0x8140), a lead byte cut by the line feed,
    // one CRLF line among LF lines and no line feed at the end.
    const std::string original =
        "[A]\n"
        "NAME=\x81\x40\xB7\xC5\r\n"
        "K=\x81\n"
        "[B]\n"
        "X=\xFF";
    IniFile ini = IniFile::Parse(original);
    ini.Set("A", "K", "溫");
    ini.Set("A", "NEW", "2");
    ini.Set("B", "Y", "3");
    EXPECT_EQ(ini.Serialise(),
              "[A]\n"
              "NAME=\x81\x40\xB7\xC5\r\n"
              "K=\xB7\xC5\n"
              "NEW=2\n"
              "[B]\n"
              "X=\xFF\n"
              "Y=3");
    EXPECT_EQ(IniFile::Parse(ini.Serialise()).Get("A", "K"), "溫");

    IniFile crlf = IniFile::Parse("[A]\r\nK=1\r\nL=2\n[B]\r\n");
    crlf.Set("A", "K", "5");
    crlf.Set("C", "Z", "6");
    EXPECT_EQ(crlf.Serialise(), "[A]\r\nK=5\r\nL=2\n[B]\r\n[C]\r\nZ=6\r\n");

    // UTF-16 cut after an odd byte: the lines added behind it stay on the unit grid.
    IniFile odd = IniFile::Parse(std::string("\xFF\xFEK\0=\0\x31\0\x32", 9));
    odd.Set("S", "V", "1");
    EXPECT_EQ(IniFile::Parse(odd.Serialise()).Get("S", "V"), "1");
}

TEST(IniFile, SaveKeepsSymlinkModeAndOwnerAndRefusesReadOnlyFiles) {
    testing::TempDir dir;
    dir.MakeDir("real");
    dir.Write("real/setup.ini", "[A]\nK=1\n");
    std::filesystem::create_symlink("real/setup.ini", dir.File("setup.ini"));
    const std::string target = dir.File("real/setup.ini");
    auto owner_and_mode = [&] {
        struct stat st {};
        ::stat(target.c_str(), &st);
        return std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777);
    };
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    // Only root may give the file away; others keep their own ids either way.
    [[maybe_unused]] const int given = ::chown(target.c_str(), 4321, 4321);
    const auto before = owner_and_mode();

    IniFile ini = IniFile::Load(dir.File("setup.ini"));
    ini.Set("A", "K", "2");
    ASSERT_TRUE(ini.Save(dir.File("setup.ini")));
    EXPECT_EQ(owner_and_mode(), before);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("setup.ini")));

    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    ini.Set("A", "K", "3");
    EXPECT_FALSE(ini.Save(dir.File("setup.ini")));
    EXPECT_EQ(dir.Read("real/setup.ini"), "[A]\nK=2\n");
    EXPECT_EQ(std::get<2>(owner_and_mode()), 0444u);
}

// A character device of the memory driver (1,3 null; 1,5 zero) made in dir where that is
// allowed, so a save that wrongly replaced it would replace only the copy.
std::string MemoryDevice(const testing::TempDir& dir, const std::string& name, unsigned minor) {
    const std::string node = dir.File(name);
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0) {
        return node;
    }
    return minor == 3 ? "/dev/null" : "/dev/zero";
}

TEST(IniFile, OnlyRegularFilesAreReadAndSaved) {
    struct Case {
        const char* kind;
        std::function<void(const testing::TempDir&)> make;
        bool regular;
    };
    const std::string ini = "[A]\nK=1\n";
    auto link_to = [](const std::string& target, const std::string& link) {
        std::filesystem::create_symlink(target, link);
    };
    const Case cases[] = {
        {"regular", [&](auto& dir) { dir.Write("setup.ini", ini); }, true},
        {"link to regular",
         [&](auto& dir) {
             dir.Write("real.ini", ini);
             link_to("real.ini", dir.File("setup.ini"));
         },
         true},
        {"stale temporary",
         [&](auto& dir) {
             dir.Write("setup.ini", ini);
             dir.Write("setup.ini.saving-2147483647-0", "left by a killed save");
         },
         true},
        {"planted temporary",
         [&](auto& dir) {
             dir.Write("setup.ini", ini);
             dir.Write("victim", "v");
             link_to(dir.File("victim"), dir.File("setup.ini.saving"));
         },
         true},
        {"link to device",
         [&](auto& dir) { link_to(MemoryDevice(dir, "null", 3), dir.File("setup.ini")); }, false},
        {"link to zero",
         [&](auto& dir) { link_to(MemoryDevice(dir, "zero", 5), dir.File("setup.ini")); }, false},
        {"fifo", [](auto& dir) { ::mkfifo(dir.File("setup.ini").c_str(), 0644); }, false},
        {"directory", [](auto& dir) { dir.MakeDir("setup.ini"); }, false},
        {"oversized",
         [](auto& dir) {
             dir.Write("setup.ini", "");
             std::filesystem::resize_file(dir.File("setup.ini"), kMaxStoredFileBytes + 1);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        testing::TempDir dir;
        c.make(dir);
        const std::string path = dir.File("setup.ini");
        struct stat before {};
        ::stat(path.c_str(), &before);
        ::testing::internal::CaptureStderr();
        IniFile loaded = IniFile::Load(path);
        IniFile::Load(path);
        // A refused file is named with its reason, once however often it is read.
        const std::string named = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(named.empty(), c.regular);
        EXPECT_EQ(named.find(path), named.rfind(path)) << named;
        EXPECT_EQ(loaded.Get("A", "K"), c.regular ? std::optional<std::string>("1") : std::nullopt);
        loaded.Set("A", "K", "2");
        EXPECT_EQ(loaded.Save(path), c.regular);
        struct stat after {};
        ::stat(path.c_str(), &after);
        EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        EXPECT_EQ(after.st_rdev, before.st_rdev);
        EXPECT_EQ(IniFile::Load(path).Get("A", "K"),
                  c.regular ? std::optional<std::string>("2") : std::nullopt);
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            EXPECT_EQ(entry.path().filename().string().find(".saving-"), std::string::npos);
        }
        EXPECT_EQ(dir.Exists("victim") ? dir.Read("victim") : "v", "v");
    }
}

TEST(IniFile, GarbageAndHugeLinesDoNotBreakLookup) {
    std::string bytes = "\x01\x02\xFF\xFE\xFD[\n";
    bytes += std::string(1 << 20, 'x') + "\n";
    bytes += "[S]\nK=" + std::string(100000, '7') + "\n";
    bytes += std::string("\0\0\0", 3) + "\n";
    IniFile ini = IniFile::Parse(bytes);
    ASSERT_TRUE(ini.Get("S", "K").has_value());
    EXPECT_EQ(ini.Get("S", "K")->size(), 100000u);
}

TEST(Encoding, AnsiReplacement) {
    // No CP950 form (emoji, Korean) and invalid UTF-8 become "?", one per character.
    EXPECT_EQ(ToAnsi("a😀b한c"), "a?b?c");
    EXPECT_EQ(ToAnsi("x\xFFy"), "x?y");
    EXPECT_EQ(ToAnsi("cut\xE8\xA8"), "cut?");
    EXPECT_EQ(ToAnsi(std::string("nul\0byte", 8)), std::string("nul\0byte", 8));
    EXPECT_EQ(FromAnsi("ok\xFF"), "ok?");
}

// Forms glibc cannot convert are written as the Windows code page writes them.
TEST(Encoding, WindowsFormsGlibcLacksConvertLikeTheWindowsCodePage) {
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
