#include "tools/monitor_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <utility>

#include "pty_peer.h"
#include "sim/firmware_monitor.h"
#include "sim/simulated_firmware.h"
#include "temp_dir.h"

namespace vantu {
namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun RunTool(std::vector<std::string_view> args, const std::string& dir) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunMonitorTool(args, dir, out, err);
    return {status, out.str(), err.str()};
}

TEST(MonitorToolTest, VersionsAndCommands) {
    testing::TempDir dir;
    SimulatedFirmware firmware({0, 7}, 1000000);
    const std::string device = firmware.slave_path();

    const ToolRun versions = RunTool({"--device", device, "versions"}, dir.path());
    ASSERT_EQ(versions.status, 0) << versions.err;
    EXPECT_EQ(std::ranges::count(versions.out, '\n'), 161) << "no unit versions without the card";
    EXPECT_TRUE(
        versions.out.starts_with("M000 absent\nM001 Q0=0a1b27 Q1=0a1b26 Q2=0a1b25 "
                                 "Q3=0a1b24 Q4=0a1b23 Q5=0a1b22 Q6=0a1b21 Q7=0a1b20\n"))
        << versions.out;
    EXPECT_NE(versions.out.find("\nM007 absent\n"), std::string::npos);

    const ToolRun send = RunTool({"--device", device, "send", "mw 10 5"}, dir.path());
    EXPECT_EQ(send.status, 0);
    EXPECT_EQ(send.out, "mw 10 5\r\nOK\r\n>\n");

    const ToolRun refused = RunTool({"--device", device, "send", "MR 1G"}, dir.path());
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "MR 1G\r\nERR COMMAND\r\n>\n");
    EXPECT_EQ(refused.err, "vantu-monitor: the firmware answered ERR COMMAND\n");
}

TEST(MonitorToolTest, ShortVersionReplyPrintsWhatArrivedAndFails) {
    testing::TempDir dir;
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
    const ToolRun run = RunTool({"--device", cut.path(), "versions"}, dir.path());
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
    testing::TempDir dir;
    testing::PtyPeer backwards([](std::string_view) { return std::vector<std::string>{"\n\r>"}; });
    struct Case {
        std::vector<std::string_view> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"--com", "100", "versions"},
         "vantu-monitor: cannot open COM100 (missing, busy, or not a serial device)\n"},
        {{"--device", backwards.path(), "send", "V"},
         "vantu-monitor: no firmware answers on " + backwards.path() +
             " (wrong or missing wake-up answer)\n"},
    };
    for (const Case& c : cases) {
        const ToolRun run = RunTool(c.args, dir.path());
        EXPECT_EQ(run.status, 1) << c.err;
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
}  // namespace vantu
