// vantu-remote against a scripted station on a loopback socket: which replies it
// waits for, what it prints, and its exit status.
#include "remote/remote_tool.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "remote/remote_client.h"
#include "scripted_server.h"

namespace vantu {
namespace {

using Lines = std::vector<std::string>;

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun RunTool(std::vector<std::string_view> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunRemoteTool(args, in, out, err);
    return {status, out.str(), err.str()};
}

// The station answers each CR-terminated line; several replies go out as one write.
TEST(RemoteTool, WaitsForEveryReplyOfEachCommand) {
    testing::ScriptedServer station('\r');
    station.Answer("GET_OPCODE_PARAM 1", "OPCODE_PARAM  C000 00000011\rGET_OPCODE_PARAM_DONE");
    station.Answer("PS", "PXIE_CARD_NOT_EXIST\rPS_DONE");
    const ToolRun run = RunTool({"--port", std::to_string(station.port()), "--quiet", "50",
                                 "GET_OPCODE_PARAM 1", "PB", "PS"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "OPCODE_PARAM  C000 00000011\nGET_OPCODE_PARAM_DONE\nPXIE_CARD_NOT_EXIST\nPS_DONE\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(station.Take(), (Lines{"GET_OPCODE_PARAM 1", "PB", "PS"}));
}

TEST(RemoteTool, ReadsCommandsFromStandardInput) {
    testing::ScriptedServer station('\r');
    station.Answer("PL beam.cfg", "PL_DONE");
    station.Answer("PG 0", "PG_DONE");
    station.Answer("PS", "PS_DONE");
    // A CR inside a line ends a command: each one waits for its own replies.
    const ToolRun run =
        RunTool({"--port", std::to_string(station.port())}, "PL beam.cfg\r\n\nPG 0\n\rPS\r\r\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "PL_DONE\nPG_DONE\nPS_DONE\n");
    EXPECT_EQ(station.Take(), (Lines{"PL beam.cfg", "PG 0", "PS"}));
}

TEST(RemoteTool, StopsAtACommandWithoutReply) {
    testing::ScriptedServer station('\r');
    const ToolRun run =
        RunTool({"--port", std::to_string(station.port()), "--timeout", "100", "PS", "PB"});
    EXPECT_EQ(run.status, kRemoteToolNoReply);
    EXPECT_EQ(run.err, "vantu-remote: no reply to PS within 100 ms\n");
    EXPECT_EQ(station.Take(), Lines{"PS"});
}

TEST(RemoteTool, ConnectionAndUsageFailures) {
    // The port of a server that has gone again.
    const std::string closed_port = std::to_string(testing::ScriptedServer('\r').port());
    const ToolRun refused = RunTool({"--port", closed_port, "PS"});
    EXPECT_EQ(refused.status, kRemoteToolConnectionFailed);
    EXPECT_EQ(refused.err.rfind("vantu-remote: cannot connect to 127.0.0.1 port " + closed_port, 0),
              0u)
        << refused.err;

    EXPECT_EQ(RunTool({"--port", "0", "PS"}).status, kRemoteToolUsageError);
    EXPECT_EQ(RunTool({"--timeout", "0", "PS"}).status, kRemoteToolUsageError);
    EXPECT_EQ(RunTool({"--port", "x", "PS"}).status, kRemoteToolUsageError);
    EXPECT_EQ(RunTool({"PS\rPB"}).status, kRemoteToolUsageError);
    for (const char* option : {"--host", "--port", "--timeout", "--quiet"}) {
        const ToolRun missing = RunTool({"PS", option});
        EXPECT_EQ(missing.status, kRemoteToolUsageError);
        EXPECT_EQ(missing.err,
                  "vantu-remote: option " + std::string(option) + " needs a value (see --help)\n");
    }
}

TEST(RemoteTool, FailExitStopsAtTheFirstFailureTokenOverIpv6) {
    testing::ScriptedServer station('\r', true);
    station.Answer("PS", "PS_DONE");
    station.Answer("PL x.cfg", "FILE_NOT_EXIST");
    station.Answer("VSG_OPEN", "VSG_OPEN_FAIL");
    const ToolRun run = RunTool({"--host", "::1", "--port", std::to_string(station.port()),
                                 "--fail-exit", "PS", "PL x.cfg", "VSG_OPEN"});
    EXPECT_EQ(run.status, kRemoteToolCommandFailed);
    EXPECT_EQ(run.out, "PS_DONE\nFILE_NOT_EXIST\n");
    EXPECT_EQ(run.err, "vantu-remote: PL x.cfg failed: FILE_NOT_EXIST\n");
}

}  // namespace
}  // namespace vantu
