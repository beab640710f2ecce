// Every program's command line as a script sees it: help and version on standard
// output, usage errors in one line with status 2, failures with status 1, and
// nothing on standard output but results.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/software_version.h"
#include "temp_dir.h"

namespace vantu {
namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

// Runs a shell command in dir, with its own HOME and runtime directory, BIN standing for
// the binary and standard error kept apart.
ToolRun RunIn(const testing::TempDir& dir, std::string command, const std::string& binary) {
    for (std::size_t at; (at = command.find("BIN")) != std::string::npos;) {
        command.replace(at, 3, binary);
    }
    const std::string line = "cd '" + dir.path() +
                             "' && mkdir -p -m 700 run && export HOME=$PWD XDG_RUNTIME_DIR=$PWD/run"
                             " QT_QPA_PLATFORM=offscreen && { " +
                             command + "; } 2>stderr.txt";
    std::FILE* pipe = ::popen(line.c_str(), "r");
    ToolRun run{-1, "", ""};
    char buffer[4096];
    for (std::size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.out.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = dir.Read("stderr.txt");
    return run;
}

TEST(ToolCommandLines, HelpVersionUsageErrorAndFailure) {
    struct Tool {
        std::string name;
        std::string binary;
        std::string failure;
    };
    std::vector<Tool> tools = {
        {"vantu-card", VANTU_CARD_BINARY, "BIN --sysfs-root /nonexistent info"},
        {"vantu-pattern", VANTU_PATTERN_BINARY, "BIN dump missing.cfg"},
        {"vantu-remote", VANTU_REMOTE_BINARY, "BIN --port 1 PS"},
        {"vantu-monitor", VANTU_MONITOR_BINARY, "BIN --device /nonexistent/tty versions"},
    };
#ifdef VANTU_BINARY
    tools.push_back({"vantu", VANTU_BINARY, "BIN --headless --station missing"});
    // A second stand-in on the same socket leaves the first one serving.
    tools.push_back(
        {"vantu-vsa-sim", VANTU_VSA_SIM_BINARY,
         "BIN >/dev/null 2>&1 & first=$!; for i in $(seq 200); do [ -S .vantu-vsa.sock ]"
         " && break; sleep 0.05; done; BIN; status=$?; kill $first; exit $status"});
#endif
    for (const Tool& tool : tools) {
        SCOPED_TRACE(tool.name);
        testing::TempDir dir;
        const ToolRun help = RunIn(dir, "BIN -h", tool.binary);
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.starts_with("Usage: " + tool.name)) << help.out;
        const ToolRun version = RunIn(dir, "BIN --version", tool.binary);
        EXPECT_EQ(version.status, 0);
        EXPECT_TRUE(version.out.ends_with(std::string(kSoftwareVersion) + "\n") &&
                    std::ranges::count(version.out, '\n') == 1)
            << version.out;
        const ToolRun usage = RunIn(dir, "BIN --frobnicate", tool.binary);
        EXPECT_EQ(usage.status, 2);
        EXPECT_TRUE(usage.out.empty() && usage.err.starts_with(tool.name + ": ") &&
                    std::ranges::count(usage.err, '\n') == 1)
            << usage.err;
        const ToolRun failure = RunIn(dir, tool.failure, tool.binary);
        EXPECT_EQ(failure.status, 1);
        EXPECT_TRUE(failure.out.empty() && failure.err.starts_with(tool.name + ": "))
            << failure.err;
    }
}

}  // namespace
}  // namespace vantu
