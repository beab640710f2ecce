#include "pattern/pattern_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "pattern/pattern_directory.h"
#include "pattern/pattern_tool.h"
#include "temp_dir.h"

namespace vantu {
namespace {

// Four bytes little-endian, as the encoder writes a word past the header.
std::string Le32(std::uint32_t value) {
    return EncodePattern(0, std::vector<std::uint32_t>{value}).substr(8);
}

std::string Header(std::uint32_t start, std::uint32_t length) {
    return Le32(start) + Le32(length);
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
        {0xC002, 8, kPatternUnaligned},  {0xC000, 0xFFFFFFFF, kPatternTooLong},
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
        if (c.result != kPatternRead) {
            EXPECT_EQ(image.words, std::vector<std::uint32_t>{0xDEAD});
        }
    }
}

TEST(PatternDirectory, OnlyARegularFileWithTheExactNameCounts) {
    testing::TempDir dir;
    dir.Write("Beam_A.cfg", "x");
    dir.MakeDir("folder.cfg");
    dir.MakeDir("sub");
    dir.Write("sub/inner.cfg", "x");
    ASSERT_EQ(::mkfifo(dir.File("pipe.cfg").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("Beam_A.cfg", dir.File("link.cfg").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere.cfg", dir.File("dangling.cfg").c_str()), 0);

    EXPECT_TRUE(PatternFileExists(dir.path(), "Beam_A.cfg"));
    EXPECT_TRUE(PatternFileExists(dir.path(), "link.cfg"));
    for (const char* name : {"beam_a.cfg", "BEAM_A.CFG", "Beam_A", "folder.cfg", "pipe.cfg",
                             "dangling.cfg", "sub/inner.cfg", ".", ""}) {
        EXPECT_FALSE(PatternFileExists(dir.path(), name)) << name;
    }
    EXPECT_FALSE(PatternFileExists(dir.File("absent"), "Beam_A.cfg"));
}

// The exit status, standard output and standard error of one run.
std::tuple<int, std::string, std::string> Tool(std::vector<std::string_view> args) {
    std::ostringstream out, err;
    const int rc = RunPatternTool(args, out, err);
    return {rc, out.str(), err.str()};
}

int Status(std::vector<std::string_view> args) {
    return std::get<0>(Tool(std::move(args)));
}

TEST(PatternTool, BuildsFilesTheDumpListsLikeOpCodeLog) {
    testing::TempDir dir;
    const std::string path = dir.File("three.cfg");
    dir.Write("words.txt", "# header comment\n0x00000011 22  # pair 0\n\nABCDEF01\n");

    EXPECT_EQ(Tool({"build", path, "--start", "0xC010", "--words-from", dir.File("words.txt")}),
              std::tuple(0, path + ": 3 words from 0x0000C010\n", ""));
    EXPECT_EQ(dir.Read("three.cfg"),
              EncodePattern(0xC010, std::vector<std::uint32_t>{0x11, 0x22, 0xABCDEF01}));
    EXPECT_EQ(Tool({"dump", path}), std::tuple(0,
                                               "start offset 0x0000C010\n"
                                               "length       12 bytes (3 words)\n"
                                               "cnt[00] index[00] addr[0000C010] code[00000011]\n"
                                               "cnt[01] index[00] addr[0000C014] cmd [00000022]\n"
                                               "cnt[02] index[01] addr[0000C018] code[ABCDEF01]\n",
                                               ""));

    ASSERT_EQ(Status({"build", path, "1", "2"}), 0);
    EXPECT_EQ(dir.Read("three.cfg"), EncodePattern(0xC000, std::vector<std::uint32_t>{1, 2}));

    // '-' is standard output; the summary then goes to standard error.
    EXPECT_EQ(Tool({"build", "-", "1", "2"}),
              std::tuple(0, EncodePattern(0xC000, std::vector<std::uint32_t>{1, 2}),
                         "vantu-pattern: standard output: 2 words from 0x0000C000\n"));
}

TEST(PatternTool, DumpNotesShortFilesAndRefusedHeaders) {
    testing::TempDir dir;
    dir.Write("short.cfg",
              EncodePattern(0xC000, std::vector<std::uint32_t>{9}).replace(4, 1, "\x0C"));
    const auto [rc, out, err] = Tool({"dump", dir.File("short.cfg")});
    EXPECT_EQ(rc, 0);
    EXPECT_NE(out.find("note: the file holds 1 of 3 words; the rest load as 0\n"),
              std::string::npos);

    dir.Write("odd.cfg", EncodePattern(0xC002, std::vector<std::uint32_t>{9}));
    const auto refused = Tool({"dump", dir.File("odd.cfg")});
    EXPECT_EQ(std::get<0>(refused), 1);
    EXPECT_NE(std::get<2>(refused).find("start offset not a multiple of 4"), std::string::npos);
}

TEST(PatternTool, UnreadableInputIsOneLineNamingTheFileAndWhy) {
    testing::TempDir dir;
    const std::string folder = dir.path();
    const std::string out = dir.File("out.cfg");
    struct Case {
        std::vector<std::string_view> args;
        std::string err;
    };
    const Case cases[] = {
        {{"dump", folder}, "vantu-pattern: " + folder + ": cannot read: Is a directory\n"},
        {{"build", out, "--words-from", folder},
         "vantu-pattern: " + folder + ": cannot read: Is a directory\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Tool(c.args), std::tuple(1, "", c.err));
    }
    EXPECT_FALSE(dir.Exists("out.cfg"));
}

TEST(PatternTool, BuildRefusesWhatTheLoaderWouldRefuse) {
    testing::TempDir dir;
    const std::string path = dir.File("bad.cfg");
    EXPECT_EQ(Status({"build", path, "--start", "0xDFFC", "1", "2"}), 1);
    EXPECT_EQ(Status({"build", path, "12G"}), 2);
    EXPECT_EQ(Status({"build", path, "100000000"}), 2);
    EXPECT_EQ(Status({"build", path, "--start"}), 2);
    EXPECT_EQ(Status({"build", path}), 2);
    EXPECT_EQ(Status({"build", path, "--start", "C000"}), 2);
    EXPECT_FALSE(dir.Exists("bad.cfg"));
}

}  // namespace
}  // namespace vantu
