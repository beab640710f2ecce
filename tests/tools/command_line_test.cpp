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

// vantu-card on its simulated card, standard error merged into the output.
ToolRun RunCard(const std::string& arguments) {
    testing::TempDir dir;
    return RunIn(dir, "BIN " + arguments + " 2>&1", VANTU_CARD_BINARY);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(VantuCardToolTest, InfoListsTheCardIdsAndBar0) {
    const ToolRun run = RunCard("--simulate info");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(Contains(run.out, " 1. Vendor ID: 0x534E, Device ID: 0x6374\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "PCI slot: 0000:03:00.0\nBAR 0 access: simulated card\n"))
        << run.out;
    EXPECT_TRUE(Contains(run.out, "  BAR 0  Memory  ")) << run.out;
}

TEST(VantuCardToolTest, RegisterCommandsTakeHexWithOrWithoutPrefix) {
    ToolRun run = RunCard("--simulate read 8000");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Contains(run.out, "0x00008000: 0x20250601\n")) << run.out;
    run = RunCard("--simulate write 0xC000 DEADBEEF");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Contains(run.out, "0x0000C000 <- 0xDEADBEEF\n")) << run.out;
    run = RunCard("--simulate flash-id");
    EXPECT_TRUE(Contains(run.out, "Flash ID: 20 BA 20 10\n")) << run.out;
}

TEST(VantuCardToolTest, UsageErrorsExitWithTwoBeforeTouchingTheCard) {
    const char* cases[] = {
        "",
        "--simulate read",
        "--simulate read 12zz",
        "--simulate read 8003",
        "--simulate write 0x10002 5",
        "--simulate write 10 100000000",
        "--simulate dump-report 14",
        "--simulate throughput 0 0x1000004 1",
        "--simulate throughput 0 0x14 1",
        "--simulate throughput 0x1FC 4 1",
        "--simulate throughput 0x7FF0 0x20 1",
        "--simulate throughput 0x8008 4 1",
        "--simulate flash-program",
        "--simulate flash-read --address 0x3FFFFFF --length 2",
        "--simulate bogus",
    };
    for (const char* arguments : cases) {
        SCOPED_TRACE(arguments);
        const ToolRun run = RunCard(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.starts_with("vantu-card: ") && run.out.find('\n') == run.out.size() - 1)
            << run.out;
    }
}

TEST(VantuCardToolTest, RefusedOrUnreadableSayWhyAndExitWithOne) {
    struct Case {
        const char* arguments;
        const char* message;
    };
    testing::TempDir dir;
    const std::string folder = "--simulate flash-program " + dir.path() + " --address 0";
    const std::string unreadable = "vantu-card: " + dir.path() + ": cannot read: Is a directory\n";
    const Case cases[] = {
        {folder.c_str(), unreadable.c_str()},
        {"--simulate read 20000", "vantu-card: read 0x00020000: Error 0x20000107 - "},
        {"--simulate write 0x10000 5", "vantu-card: write 0x00010000: Error 0x20000107 - "},
        {"--simulate throughput 0xFFF0 32 1", "Write refused: Error 0x20000107 - "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = RunCard(c.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(Contains(run.out, c.message)) << run.out;
        EXPECT_FALSE(Contains(run.out, "0x00000000\n") || Contains(run.out, "<- 0x") ||
                     Contains(run.out, "Total Error"))
            << run.out;
    }
}

}  // namespace
}  // namespace vantu
