#include "pattern/pattern_tool.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string_view>
#include <vector>

#include "pattern/pattern_file.h"
#include "temp_dir.h"

namespace vantu {
namespace {

struct ToolRun {
    int rc;
    std::string out;
    std::string err;
};

ToolRun Tool(std::vector<std::string_view> args) {
    std::ostringstream out, err;
    int rc = RunPatternTool(args, out, err);
    return {rc, out.str(), err.str()};
}

TEST(PatternTool, BuildsFilesTheDumpListsLikeOpCodeLog) {
    testing::TempDir dir;
    const std::string path = dir.File("three.cfg");
    dir.Write("words.txt", "# header comment\n0x00000011 22  # pair 0\n\nABCDEF01\n");

    ToolRun built =
        Tool({"build", path, "--start", "0xC010", "--words-from", dir.File("words.txt")});
    ASSERT_EQ(built.rc, 0) << built.err;
    EXPECT_EQ(dir.Read("three.cfg"),
              EncodePattern(0xC010, std::vector<std::uint32_t>{0x11, 0x22, 0xABCDEF01}));

    ToolRun dump = Tool({"dump", path});
    ASSERT_EQ(dump.rc, 0) << dump.err;
    EXPECT_EQ(dump.out,
              "start offset 0x0000C010\n"
              "length       12 bytes (3 words)\n"
              "cnt[00] index[00] addr[0000C010] code[00000011]\n"
              "cnt[01] index[00] addr[0000C014] cmd [00000022]\n"
              "cnt[02] index[01] addr[0000C018] code[ABCDEF01]\n");

    ASSERT_EQ(Tool({"build", path, "1", "2"}).rc, 0);
    EXPECT_EQ(dir.Read("three.cfg"), EncodePattern(0xC000, std::vector<std::uint32_t>{1, 2}));

    // '-' is standard output; the summary then goes to standard error.
    ToolRun piped = Tool({"build", "-", "1", "2"});
    EXPECT_EQ(piped.rc, 0);
    EXPECT_EQ(piped.out, EncodePattern(0xC000, std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(piped.err, "vantu-pattern: standard output: 2 words from 0x0000C000\n");
}

TEST(PatternTool, DumpNotesShortFilesAndRefusedHeaders) {
    testing::TempDir dir;
    dir.Write("short.cfg",
              EncodePattern(0xC000, std::vector<std::uint32_t>{9}).replace(4, 1, "\x0C"));
    ToolRun dump = Tool({"dump", dir.File("short.cfg")});
    EXPECT_EQ(dump.rc, 0);
    EXPECT_NE(dump.out.find("note: the file holds 1 of 3 words; the rest load as 0\n"),
              std::string::npos);
    EXPECT_NE(dump.out.find("cnt[02] index[01] addr[0000C008] code[00000000]\n"),
              std::string::npos);

    dir.Write("odd.cfg", EncodePattern(0xC002, std::vector<std::uint32_t>{9}));
    ToolRun refused = Tool({"dump", dir.File("odd.cfg")});
    EXPECT_EQ(refused.rc, 1);
    EXPECT_NE(refused.err.find("start offset not a multiple of 4"), std::string::npos);
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
        const ToolRun run = Tool(c.args);
        EXPECT_EQ(run.rc, 1) << c.err;
        EXPECT_EQ(run.err, c.err);
    }
    EXPECT_FALSE(dir.Exists("out.cfg"));
}

TEST(PatternTool, BuildRefusesWhatTheLoaderWouldRefuse) {
    testing::TempDir dir;
    const std::string path = dir.File("bad.cfg");
    EXPECT_EQ(Tool({"build", path, "--start", "0xDFFC", "1", "2"}).rc, 1);
    EXPECT_EQ(Tool({"build", path, "12G"}).rc, 2);
    EXPECT_EQ(Tool({"build", path, "100000000"}).rc, 2);
    EXPECT_EQ(Tool({"build", path, "--start"}).rc, 2);
    EXPECT_EQ(Tool({"build", path}).rc, 2);
    EXPECT_EQ(Tool({"build", path, "--start", "C000"}).rc, 2);
    EXPECT_EQ(Tool({"frobnicate"}).rc, 2);
    EXPECT_FALSE(dir.Exists("bad.cfg"));
}

}  // namespace
}  // namespace vantu
