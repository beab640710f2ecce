// Runs the built vantu-card binary on the simulated card.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "temp_dir.h"

namespace vantu {
namespace {

struct ToolRun {
    int exit_status;
    std::string output;  // standard output and standard error
};

ToolRun RunCardTool(const std::string& arguments) {
    const std::string command = std::string(VANTU_CARD_BINARY) + " " + arguments + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ToolRun run{-1, ""};
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(VantuCardToolTest, InfoListsTheCardIdsAndBar0) {
    const ToolRun run = RunCardTool("--simulate info");
    EXPECT_EQ(run.exit_status, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, " 1. Vendor ID: 0x534E, Device ID: 0x6374\n")) << run.output;
    EXPECT_TRUE(Contains(run.output, "PCI slot: 0000:03:00.0\nBAR 0 access: simulated card\n"))
        << run.output;
    EXPECT_TRUE(Contains(run.output, "  BAR 0  Memory  ")) << run.output;
}

TEST(VantuCardToolTest, RegisterCommandsTakeHexWithOrWithoutPrefix) {
    ToolRun run = RunCardTool("--simulate read 8000");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_TRUE(Contains(run.output, "0x00008000: 0x20250601\n")) << run.output;
    run = RunCardTool("--simulate write 0xC000 DEADBEEF");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_TRUE(Contains(run.output, "0x0000C000 <- 0xDEADBEEF\n")) << run.output;
    run = RunCardTool("--simulate flash-id");
    EXPECT_TRUE(Contains(run.output, "Flash ID: 20 BA 20 10\n")) << run.output;
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
        const ToolRun run = RunCardTool(arguments);
        EXPECT_EQ(run.exit_status, 2);
        EXPECT_TRUE(run.output.starts_with("vantu-card: ") &&
                    run.output.find('\n') == run.output.size() - 1)
            << run.output;
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
        const ToolRun run = RunCardTool(c.arguments);
        EXPECT_EQ(run.exit_status, 1);
        EXPECT_TRUE(Contains(run.output, c.message)) << run.output;
        EXPECT_FALSE(Contains(run.output, "0x00000000\n") || Contains(run.output, "<- 0x") ||
                     Contains(run.output, "Total Error"))
            << run.output;
    }
}

}  // namespace
}  // namespace vantu
