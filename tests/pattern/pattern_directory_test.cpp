#include "pattern/pattern_directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_dir.h"

namespace vantu {
namespace {

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
    EXPECT_FALSE(PatternFileExists(dir.path(), "beam_a.cfg"));
    EXPECT_FALSE(PatternFileExists(dir.path(), "BEAM_A.CFG"));
    EXPECT_FALSE(PatternFileExists(dir.path(), "Beam_A"));
    EXPECT_FALSE(PatternFileExists(dir.path(), "folder.cfg"));
    EXPECT_FALSE(PatternFileExists(dir.path(), "pipe.cfg"));
    EXPECT_FALSE(PatternFileExists(dir.path(), "dangling.cfg"));
    EXPECT_FALSE(PatternFileExists(dir.path(), "sub/inner.cfg"));
    EXPECT_FALSE(PatternFileExists(dir.path(), "."));
    EXPECT_FALSE(PatternFileExists(dir.path(), ""));
    EXPECT_FALSE(PatternFileExists(dir.File("absent"), "Beam_A.cfg"));
}

}  // namespace
}  // namespace vantu
