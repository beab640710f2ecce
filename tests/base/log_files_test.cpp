#include "base/log_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "fake_ports.h"
#include "log_lines.h"
#include "temp_dir.h"

namespace vantu {
namespace {

using testing::FakeClock;
using testing::TempDir;

const std::string kHeader =
    "\x5B\x20\x56\x41\x4E\x54\x55\x20\xB0\x4F\xBF\xFD\xC0\xC9\x20\x5D\x0A\x0A"
    "\xAE\xC9\xB6\xA1\x2C\x20\x20\xA8\xC6\xA5\xF3\x0A";

class LogFilesTest : public ::testing::Test {
  protected:
    TempDir dir;
    FakeClock clock;
};

TEST_F(LogFilesTest, HeaderOnceAndLinesInCp950) {
    dir.MakeDir("Log");
    clock.time = {2026, 1, 5, 9, 4, 7};

    LogFiles first(dir.path(), clock);
    first.OpenLog();
    first.AppendLog("[GUI] 作業系統 : x64");
    first.AppendLog("100% done %d %s");

    // A second start on the same day appends without a second header.
    LogFiles second(dir.path(), clock);
    second.OpenLog();
    second.AppendLog("y");
    clock.time = {2026, 1, 6, 9, 4, 7};  // a day later to the second: same file, new date
    second.AppendLog("x");

    EXPECT_EQ(dir.Read("Log/2026-1-5.log"),
              kHeader +
                  "2026-1-5  09:04:07,[GUI] \xA7\x40\xB7\x7E\xA8\x74\xB2\xCE : x64\n"
                  "2026-1-5  09:04:07,100% done %d %s\n"
                  "2026-1-5  09:04:07,y\n"
                  "2026-1-6  09:04:07,x\n");
    EXPECT_FALSE(dir.Exists("Log/2026-1-6.log"));
}

TEST_F(LogFilesTest, MissingLogDirectoryIsSilentAndNeverCreated) {
    LogFiles log(dir.path(), clock);
    log.OpenLog();
    log.AppendLog("lost");
    log.AppendFaultLog(clock.time, "time", "lost");
    EXPECT_FALSE(dir.Exists("Log"));
}

// How the op-code listing restarts at each load is the pattern loader's test.
TEST_F(LogFilesTest, ReportLogGrowsInCp950) {
    LogFiles log(dir.path(), clock);
    log.WriteReportLog("I[000] = ", false);
    log.WriteReportLog("0x1", true);
    log.WriteReportLog("溫度", true);
    EXPECT_EQ(dir.Read("qdxa_rpt_reg.log"), "I[000] = 0x1\n\xB7\xC5\xAB\xD7\n");
}

// A file size limit stands in for a full disk: the write that crosses it is short.
TEST_F(LogFilesTest, ShortWriteLeavesOnlyWholeLinesAndOneNotice) {
    dir.MakeDir("Log");
    const std::string line = "2026-12-5  19:46:12,0123456789\n";
    int notice_pipe[2];
    ASSERT_EQ(::pipe(notice_pipe), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kHeader.size() + line.size() + 5, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::dup2(notice_pipe[1], STDERR_FILENO);
        LogFiles log(dir.path(), clock);
        log.OpenLog();
        for (int i = 0; i < 3; ++i) {
            log.AppendLog("0123456789");
        }
        ::_exit(0);
    }
    ::close(notice_pipe[1]);
    const std::string notice = testing::ReadFile("/dev/fd/" + std::to_string(notice_pipe[0]));
    ::close(notice_pipe[0]);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    LogFiles log(dir.path(), clock);
    log.OpenLog();
    log.AppendLog("0123456789");
    EXPECT_EQ(dir.Read("Log/2026-12-5.log"), kHeader + line + line);
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 1) << notice;
}

}  // namespace
}  // namespace vantu
