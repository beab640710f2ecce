#include "remote/remote_tool.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "base/software_version.h"
#include "remote/remote_client.h"

namespace vantu {
namespace {

constexpr std::string_view kUsage =
    "Usage: vantu-remote [--host H] [--port N] [--timeout MS] [--quiet MS] [--fail-exit]\n"
    "                    [COMMAND...]\n"
    "       vantu-remote -h | --help | --version\n"
    "Sends each COMMAND to the station's remote control, a CR after each, and prints\n"
    "each reply on its own line. Without COMMAND, reads commands from standard input,\n"
    "one a line. Quote a command with arguments: vantu-remote \"PL beam_short.cfg\"\n"
    "  --host H       station address or host name, IPv4 or IPv6 (default 127.0.0.1)\n"
    "  --port N       TCP port (default 10001)\n"
    "  --timeout MS   longest wait for each reply, at least 1 (default 5000)\n"
    "  --quiet MS     wait of PB and VSA_SEND, which may send nothing (default 300)\n"
    "  --fail-exit    stop with exit status 4 at a reply *_FAIL, NOT_SUPPORT,\n"
    "                 FILE_NOT_EXIST or SP_BUSY\n"
    "Exit status: 0 done, 1 no connection or connection lost, 2 usage error,\n"
    "3 a command got no reply in time, 4 a command failed (with --fail-exit).\n";

struct Options {
    std::string host = "127.0.0.1";
    int port = 10001;
    int timeout_ms = 5000;
    int quiet_ms = 300;
    bool fail_exit = false;
    std::vector<std::string> commands;
};

bool TakesValue(std::string_view arg) {
    return arg == "--host" || arg == "--port" || arg == "--timeout" || arg == "--quiet";
}

bool IsNumber(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The smallest value each numeric option takes.
int Least(std::string_view option) {
    return option == "--quiet" ? 0 : 1;
}

// False with one line on err for a malformed command line. Remote commands never
// start with '-', so every such word is an option.
bool ParseOptions(std::span<const std::string_view> args, Options& options, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (TakesValue(arg) && i + 1 == args.size()) {
            err << "vantu-remote: option " << arg << " needs a value (see --help)\n";
            return false;
        }
        if (arg == "--host") {
            options.host = args[++i];
        } else if (arg == "--fail-exit") {
            options.fail_exit = true;
        } else if (TakesValue(arg)) {
            const std::string_view value = args[++i];
            const int number = ParseDecimal(value);
            if (!IsNumber(value) || number < Least(arg) || (arg == "--port" && number > 65535)) {
                err << "vantu-remote: bad value for " << arg << ": " << value << "\n";
                return false;
            }
            int& target = arg == "--port"      ? options.port
                          : arg == "--timeout" ? options.timeout_ms
                                               : options.quiet_ms;
            target = number;
        } else if (arg.starts_with("-")) {
            err << "vantu-remote: unknown option " << arg << " (see --help)\n";
            return false;
        } else if (arg.find_first_of("\r\n") != std::string_view::npos) {
            err << "vantu-remote: a command is one line\n";
            return false;
        } else {
            options.commands.emplace_back(arg);
        }
    }
    return true;
}

// The exit status after one command; 0 lets the next one go.
int RunCommand(RemoteClient& client, const Options& options, const std::string& command,
               std::ostream& out, std::ostream& err) {
    const RemoteClient::Exchange exchange =
        client.Run(command, options.timeout_ms, options.quiet_ms);
    for (const std::string& reply : exchange.replies) {
        out << reply << "\n";
    }
    out.flush();
    switch (exchange.end) {
        case RemoteClient::Status::kClosed:
            err << "vantu-remote: the station closed the connection\n";
            return kRemoteToolConnectionFailed;
        case RemoteClient::Status::kTimeout:
            if (!MayStaySilent(command)) {
                err << "vantu-remote: no reply to " << command << " within " << options.timeout_ms
                    << " ms\n";
                return kRemoteToolNoReply;
            }
            return 0;
        case RemoteClient::Status::kReply:
            break;
    }
    const auto failed = std::ranges::find_if(exchange.replies, IsFailureReply);
    if (options.fail_exit && failed != exchange.replies.end()) {
        err << "vantu-remote: " << command << " failed: " << *failed << "\n";
        return kRemoteToolCommandFailed;
    }
    return 0;
}

// A CR inside an input line ends a command as it would on the wire, so each command
// gets its own replies.
int RunLine(RemoteClient& client, const Options& options, std::string_view line, std::ostream& out,
            std::ostream& err) {
    while (!line.empty()) {
        const std::size_t cr = line.find('\r');
        const std::string command(line.substr(0, cr));
        line.remove_prefix(cr == std::string_view::npos ? line.size() : cr + 1);
        if (command.empty()) {
            continue;
        }
        if (const int status = RunCommand(client, options, command, out, err); status != 0) {
            return status;
        }
    }
    return 0;
}

}  // namespace

int RunRemoteTool(std::span<const std::string_view> args, std::istream& in, std::ostream& out,
                  std::ostream& err) {
    for (std::string_view arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
        if (arg == "--version") {
            out << "vantu-remote " << kSoftwareVersion << "\n";
            return 0;
        }
    }
    Options options;
    if (!ParseOptions(args, options, err)) {
        return kRemoteToolUsageError;
    }
    RemoteClient client;
    if (const std::string why =
            client.Connect(options.host, static_cast<std::uint16_t>(options.port));
        !why.empty()) {
        err << "vantu-remote: cannot connect to " << options.host << " port " << options.port
            << ": " << why << "\n";
        return kRemoteToolConnectionFailed;
    }
    if (!options.commands.empty()) {
        for (const std::string& command : options.commands) {
            if (const int status = RunCommand(client, options, command, out, err); status != 0) {
                return status;
            }
        }
        return 0;
    }
    for (std::string line; std::getline(in, line);) {
        if (const int status = RunLine(client, options, line, out, err); status != 0) {
            return status;
        }
    }
    return 0;
}

}  // namespace vantu
