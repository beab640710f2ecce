// The station binary started for real: no display, and a port another process holds.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "scripted_server.h"
#include "station_process.h"

namespace vantu::testing {
namespace {

TEST(StationStartup, WindowWithoutADisplayIsRefusedInOneLine) {
    StationDir dir;
    // No display named at all, and an X display that does not answer.
    for (const char* display : {"", "DISPLAY=:4711"}) {
        const std::string command =
            "cd " + dir.path() + " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
            display + " " VANTU_BINARY " --simulate 2>" + dir.File("stderr.txt");
        const int status = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 1) << display;
        EXPECT_EQ(ReadFile(dir.File("stderr.txt")),
                  "vantu: no display: start with --headless or under xvfb-run\n")
            << display;
    }
}

// Whether a close is logged only for an open server is the server's test.
TEST(StationStartup, PortHeldByAnotherProcessLeavesTheStationWithoutServer) {
    const ScriptedServer holder;
    StationDir dir;
    StationProcess vantu(dir,
                         {"--headless", "--simulate", "--port", std::to_string(holder.port())});
    EXPECT_TRUE(WaitForLog(dir.log_path(), ",[TCP] 伺服器 : 開啟異常\n")) << vantu.error_output();
    EXPECT_EQ(vantu.Stop(SIGTERM), 0);
}

}  // namespace
}  // namespace vantu::testing
