// vantu-remote against a scripted station on a loopback socket: which replies it
// waits for, what it prints, and its exit status.
#include "remote/remote_tool.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "remote/remote_client.h"

namespace vantu {
namespace {

// Accepts one connection and answers each CR-terminated line from a script, each
// reply in its own write.
using Script = std::map<std::string, std::vector<std::string>>;

class ScriptedStation {
  public:
    // On ::1 when ipv6, else on 127.0.0.1.
    explicit ScriptedStation(Script script, bool ipv6 = false)
        : script_(std::move(script)),
          listener_(::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in6 address6{};
        address6.sin6_family = AF_INET6;
        address6.sin6_addr = in6addr_loopback;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        auto* bound =
            ipv6 ? reinterpret_cast<sockaddr*>(&address6) : reinterpret_cast<sockaddr*>(&address);
        socklen_t size = ipv6 ? sizeof address6 : sizeof address;
        ::bind(listener_, bound, size);
        ::listen(listener_, 1);
        ::getsockname(listener_, bound, &size);
        port_ = ntohs(ipv6 ? address6.sin6_port : address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~ScriptedStation() {
        // Ends a wait for a client that never came.
        ::shutdown(listener_, SHUT_RDWR);
        received();
        ::close(listener_);
    }

    std::string port() const { return std::to_string(port_); }
    // Everything the client sent, once it has gone.
    const std::string& received() {
        if (thread_.joinable()) {
            thread_.join();
        }
        return received_;
    }

  private:
    void Serve() {
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0) {
            return;
        }
        std::string line;
        char byte;
        while (::recv(fd, &byte, 1, 0) == 1) {
            received_ += byte;
            if (byte != '\r') {
                line += byte;
                continue;
            }
            for (const std::string& reply : script_[line]) {
                const std::string bytes = reply + "\r";
                ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            }
            line.clear();
        }
        ::close(fd);
    }

    Script script_;
    int listener_;
    std::uint16_t port_ = 0;
    std::string received_;
    std::thread thread_;
};

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

TEST(RemoteTool, WaitsForEveryReplyOfEachCommand) {
    ScriptedStation station(
        {{"GET_OPCODE_PARAM 1", {"OPCODE_PARAM  C000 00000011", "GET_OPCODE_PARAM_DONE"}},
         {"PB", {}},
         {"PS", {"PXIE_CARD_NOT_EXIST", "PS_DONE"}}});
    const ToolRun run =
        RunTool({"--port", station.port(), "--quiet", "50", "GET_OPCODE_PARAM 1", "PB", "PS"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "OPCODE_PARAM  C000 00000011\nGET_OPCODE_PARAM_DONE\nPXIE_CARD_NOT_EXIST\nPS_DONE\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(station.received(), "GET_OPCODE_PARAM 1\rPB\rPS\r");
}

TEST(RemoteTool, ReadsCommandsFromStandardInput) {
    ScriptedStation station(
        Script{{"PL beam.cfg", {"PL_DONE"}},
               {"PG 0", {"PG_DONE"}},
               {"PS", {"PS_DONE"}},
               {"GET_OPCODE_PARAM 1", {"OPCODE_PARAM  C000 00000011", "GET_OPCODE_PARAM_DONE"}}});
    // A CR inside a line ends a command: each one waits for its own replies.
    const ToolRun run =
        RunTool({"--port", station.port()}, "PL beam.cfg\r\n\nPG 0\n\rPS\r\rGET_OPCODE_PARAM 1\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "PL_DONE\nPG_DONE\nPS_DONE\nOPCODE_PARAM  C000 00000011\nGET_OPCODE_PARAM_DONE\n");
    EXPECT_EQ(station.received(), "PL beam.cfg\rPG 0\rPS\rGET_OPCODE_PARAM 1\r");
}

TEST(RemoteTool, StopsAtACommandWithoutReply) {
    ScriptedStation station(Script{{"PS", {}}});
    const ToolRun run = RunTool({"--port", station.port(), "--timeout", "100", "PS", "PB"});
    EXPECT_EQ(run.status, kRemoteToolNoReply);
    EXPECT_EQ(run.err, "vantu-remote: no reply to PS within 100 ms\n");
    EXPECT_EQ(station.received(), "PS\r");
}

TEST(RemoteTool, ConnectionAndUsageFailures) {
    std::string closed_port;
    {
        ScriptedStation gone(Script{});
        closed_port = gone.port();
    }
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
    ScriptedStation station(
        Script{
            {"PS", {"PS_DONE"}}, {"PL x.cfg", {"FILE_NOT_EXIST"}}, {"VSG_OPEN", {"VSG_OPEN_FAIL"}}},
        true);
    const ToolRun run = RunTool(
        {"--host", "::1", "--port", station.port(), "--fail-exit", "PS", "PL x.cfg", "VSG_OPEN"});
    EXPECT_EQ(run.status, kRemoteToolCommandFailed);
    EXPECT_EQ(run.out, "PS_DONE\nFILE_NOT_EXIST\n");
    EXPECT_EQ(run.err, "vantu-remote: PL x.cfg failed: FILE_NOT_EXIST\n");
    EXPECT_EQ(station.received(), "PS\rPL x.cfg\r");
}

}  // namespace
}  // namespace vantu
