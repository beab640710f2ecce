// Every program's command line as a script sees it: help and version on standard
// output, usage errors in one line with status 2, failures with status 1, and
// nothing on standard output but results.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/software_version.h"
#include "pty_peer.h"
#include "sim/firmware_monitor.h"
#include "sim/simulated_firmware.h"
#include "temp_dir.h"
#include "tools/monitor_tool.h"

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
                             command + "; } >stdout.txt 2>stderr.txt";
    const int status = std::system(line.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.Read("stdout.txt"),
            dir.Read("stderr.txt")};
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

// Register commands take hex with or without its prefix.
TEST(VantuCardToolTest, CommandsOnTheSimulatedCard) {
    const std::pair<const char*, std::vector<const char*>> cases[] = {
        {"info", {"PCI slot: 0000:03:00.0\nBAR 0 access: simulated card\n", "  BAR 0  Memory  "}},
        {"read 8000", {"0x00008000: 0x20250601\n"}},
        {"write 0xC000 DEADBEEF", {"0x0000C000 <- 0xDEADBEEF\n"}},
        {"flash-id", {"Flash ID: 20 BA 20 10\n"}},
    };
    for (const auto& [arguments, outputs] : cases) {
        SCOPED_TRACE(arguments);
        const ToolRun run = RunCard(std::string("--simulate ") + arguments);
        EXPECT_EQ(run.status, 0);
        for (const char* output : outputs) {
            EXPECT_TRUE(Contains(run.out, output)) << run.out;
        }
    }
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
    testing::TempDir dir;
    const std::string folder = "--simulate flash-program " + dir.path() + " --address 0";
    const std::string unreadable = "vantu-card: " + dir.path() + ": cannot read: Is a directory\n";
    const std::pair<const char*, const char*> cases[] = {
        {folder.c_str(), unreadable.c_str()},
        {"--simulate read 20000", "vantu-card: read 0x00020000: Error 0x20000107 - "},
        {"--simulate write 0x10000 5", "vantu-card: write 0x00010000: Error 0x20000107 - "},
        {"--simulate throughput 0xFFF0 32 1", "Write refused: Error 0x20000107 - "},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(arguments);
        const ToolRun run = RunCard(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(Contains(run.out, message)) << run.out;
        EXPECT_FALSE(Contains(run.out, "0x00000000\n") || Contains(run.out, "<- 0x") ||
                     Contains(run.out, "Total Error"))
            << run.out;
    }
}

// vantu-monitor run in this process, in a station directory of its own.
ToolRun RunTool(std::vector<std::string_view> args) {
    const testing::TempDir dir;
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunMonitorTool(args, dir.path(), out, err);
    return {status, out.str(), err.str()};
}

TEST(MonitorToolTest, VersionsAndCommands) {
    SimulatedFirmware firmware({0, 7}, 1000000);
    const std::string device = firmware.slave_path();

    const ToolRun versions = RunTool({"--device", device, "versions"});
    ASSERT_EQ(versions.status, 0) << versions.err;
    EXPECT_EQ(std::ranges::count(versions.out, '\n'), 161) << "no unit versions without the card";
    EXPECT_TRUE(
        versions.out.starts_with("M000 absent\nM001 Q0=0a1b27 Q1=0a1b26 Q2=0a1b25 "
                                 "Q3=0a1b24 Q4=0a1b23 Q5=0a1b22 Q6=0a1b21 Q7=0a1b20\n"))
        << versions.out;
    EXPECT_NE(versions.out.find("\nM007 absent\n"), std::string::npos);

    const ToolRun send = RunTool({"--device", device, "send", "mw 10 5"});
    EXPECT_EQ(send.status, 0);
    EXPECT_EQ(send.out, "mw 10 5\r\nOK\r\n>\n");

    const ToolRun refused = RunTool({"--device", device, "send", "MR 1G"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "MR 1G\r\nERR COMMAND\r\n>\n");
    EXPECT_EQ(refused.err, "vantu-monitor: the firmware answered ERR COMMAND\n");
}

TEST(MonitorToolTest, ShortVersionReplyPrintsWhatArrivedAndFails) {
    FirmwareMonitor firmware({});
    // The table ends after the first unit section (2 hex digits a byte), then the prompt.
    // A short table cut off inside a channel is covered by the firmware page's tests.
    constexpr std::size_t kArrived = 448;
    // SA's prompt is held back until DA's table goes with it, so the tool reads both.
    std::string held;
    testing::PtyPeer cut([&firmware, &held](std::string_view received) {
        held += firmware.Receive(received);
        const std::size_t table = held.find("DA\r\n");
        if (held.starts_with("SA") && table == std::string::npos) {
            return std::vector<std::string>{};
        }
        std::string reply = std::exchange(held, {});
        if (table != std::string::npos) {
            reply.resize(table + 4 + 2 * kArrived);
            reply += "\r\nOK\r\n>";
        }
        return std::vector<std::string>{reply};
    });
    const ToolRun run = RunTool({"--device", cut.path(), "versions"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "vantu-monitor: the version reply from " + cut.path() +
                           " stopped after 448 of 6272 bytes (time-out)\n");
    // Column 7 (M080-M093) fills the first unit section; the next modules are absent.
    EXPECT_NE(run.out.find("\nM093 Q0=0a1b27 Q1=0a1b26 Q2=0a1b25 Q3=0a1b24 Q4=0a1b23 Q5=0a1b22 "
                           "Q6=0a1b21 Q7=0a1b20\nM094 absent\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\nM079 absent\n"), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with("\nM160 absent\n")) << run.out;
}

TEST(MonitorToolTest, FailuresAreOneLineAndExitOne) {
    testing::PtyPeer backwards([](std::string_view) { return std::vector<std::string>{"\n\r>"}; });
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases = {
        {{"--com", "100", "versions"},
         "vantu-monitor: cannot open COM100 (missing, busy, or not a serial device)\n"},
        {{"--device", backwards.path(), "send", "V"},
         "vantu-monitor: no firmware answers on " + backwards.path() +
             " (wrong or missing wake-up answer)\n"},
    };
    for (const auto& [args, err] : cases) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 1) << err;
        EXPECT_EQ(run.err, err);
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
}  // namespace vantu
