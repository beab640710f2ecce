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
    for (const char* name : {"beam_a.cfg", "BEAM_A.CFG", "Beam_A", "folder.cfg", "pipe.cfg",
                             "dangling.cfg", "sub/inner.cfg", ".", ""}) {
        EXPECT_FALSE(PatternFileExists(dir.path(), name)) << name;
    }
    EXPECT_FALSE(PatternFileExists(dir.File("absent"), "Beam_A.cfg"));
}

}  // namespace
}  // namespace vantu
