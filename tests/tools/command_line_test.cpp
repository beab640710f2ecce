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

// Runs a shell command in dir, with its own HOME and runtime directory, standard
// error kept apart.
ToolRun RunIn(const testing::TempDir& dir, const std::string& command) {
    const std::string line = "cd '" + dir.path() +
                             "' && mkdir -p -m 700 run && HOME=$PWD XDG_RUNTIME_DIR=$PWD/run; "
                             "export HOME XDG_RUNTIME_DIR; { " +
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

struct Tool {
    std::string name;
    std::string binary;
    std::string failure;  // a command that fails, BIN standing for the binary
};

std::vector<Tool> Tools() {
    std::vector<Tool> tools = {
        {"vantu-card", VANTU_CARD_BINARY, "BIN --sysfs-root /nonexistent info"},
        {"vantu-pattern", VANTU_PATTERN_BINARY, "BIN dump missing.cfg"},
        {"vantu-remote", VANTU_REMOTE_BINARY, "BIN --port 1 PS"},
        {"vantu-monitor", VANTU_MONITOR_BINARY, "BIN --device /nonexistent/tty versions"},
    };
#ifdef VANTU_BINARY
    tools.push_back({"vantu", VANTU_BINARY, "BIN --headless --station missing"});
#endif
#ifdef VANTU_VSA_SIM_BINARY
    // A second stand-in on the same socket leaves the first one serving.
    tools.push_back(
        {"vantu-vsa-sim", VANTU_VSA_SIM_BINARY,
         "QT_QPA_PLATFORM=offscreen BIN >/dev/null 2>&1 & first=$!; for i in $(seq 200); do "
         "[ -S .vantu-vsa.sock ] && break; sleep 0.05; done; "
         "QT_QPA_PLATFORM=offscreen BIN; status=$?; kill $first; exit $status"});
#endif
    return tools;
}

std::string WithBinary(std::string command, const std::string& binary) {
    for (std::size_t at; (at = command.find("BIN")) != std::string::npos;) {
        command.replace(at, 3, binary);
    }
    return command;
}

bool OneLineFrom(const std::string& text, const std::string& tool) {
    return text.starts_with(tool + ": ") && std::ranges::count(text, '\n') == 1 &&
           text.ends_with("\n");
}

TEST(ToolCommandLines, HelpVersionUsageErrorAndFailure) {
    for (const Tool& tool : Tools()) {
        SCOPED_TRACE(tool.name);
        testing::TempDir dir;
        const ToolRun help = RunIn(dir, tool.binary + " -h");
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.starts_with("Usage: " + tool.name)) << help.out;
        EXPECT_EQ(help.err, "");

        const ToolRun version = RunIn(dir, tool.binary + " --version");
        EXPECT_EQ(version.status, 0);
        EXPECT_TRUE(version.out.ends_with(std::string(kSoftwareVersion) + "\n") &&
                    std::ranges::count(version.out, '\n') == 1)
            << version.out;

        const ToolRun usage = RunIn(dir, tool.binary + " --frobnicate");
        EXPECT_EQ(usage.status, 2);
        EXPECT_EQ(usage.out, "");
        EXPECT_TRUE(OneLineFrom(usage.err, tool.name)) << usage.err;

        const ToolRun failure = RunIn(dir, WithBinary(tool.failure, tool.binary));
        EXPECT_EQ(failure.status, 1);
        EXPECT_EQ(failure.out, "");
        EXPECT_TRUE(failure.err.starts_with(tool.name + ": ")) << failure.err;
    }
}

}  // namespace
}  // namespace vantu
