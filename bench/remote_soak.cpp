// remote_soak: many commands from several clients in turn against a running
// `vantu --headless --simulate`, with partial writes, abandoned half commands and
// clients displaced by the next one. Afterwards the station must still answer, hold
// the same number of open file descriptors and have grown its resident memory by
// less than 1 MB. scripts/soak.sh starts the station and runs it.
//   remote_soak --port N --pid P [--commands N] [--clients K] [--seed S]
#include <sys/types.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "remote/remote_client.h"

namespace vantu::soak {
namespace {

constexpr int kReplyTimeoutMs = 5000;

struct Options {
    int port = 0;
    pid_t pid = -1;
    long commands = 100000;
    int clients = 4;
    unsigned seed = 1;
};

long OpenDescriptors(pid_t pid) {
    long count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
        ++count;
    }
    return count;
}

long ResidentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// Replies that may end each command.
bool Fits(const std::string& command, const std::string& reply) {
    const std::string_view word = std::string_view(command).substr(0, command.find(' '));
    if (word == "PS") {
        return reply == "PS_DONE";
    }
    if (word == "PG") {
        return reply == "PG_DONE";
    }
    if (word == "PL") {
        return reply == "PL_DONE";
    }
    if (word == "GET_OPCODE_PARAM") {
        return reply == "GET_OPCODE_PARAM_DONE" || reply == "GET_OPCODE_PARAM_FAIL";
    }
    if (word == "SET_OPCODE_PARAM") {
        return reply == "SET_OPCODE_PARAM_DONE";
    }
    return reply == "NOT_SUPPORT";
}

class Soak {
  public:
    Soak(const Options& options, int port)
        : options_(options), port_(port), random_(options.seed) {}

    // False after the first wrong or missing reply.
    bool Run() {
        const std::vector<std::string> commands = {"PS",
                                                   "PB",
                                                   "PG 0",
                                                   "GET_OPCODE_PARAM 1",
                                                   "GET_OPCODE_PARAM 2",
                                                   "SET_OPCODE_PARAM 1 0x1F",
                                                   "XYZ",
                                                   "GET_OPCODE_PARAM 0",
                                                   "PS trailing text"};
        std::vector<RemoteClient> clients(static_cast<std::size_t>(options_.clients));
        std::size_t turn = 0;
        while (sent_ < options_.commands) {
            RemoteClient& client = clients[turn];
            if (!client.connected() && !Connect(client)) {
                return false;
            }
            const long burst = Pick(1, 200);
            for (long i = 0; i < burst && sent_ < options_.commands; ++i) {
                const std::string command = Pick(1, 2000) == 1
                                                ? "PL beam_short.cfg"
                                                : commands[static_cast<std::size_t>(Pick(
                                                      0, static_cast<long>(commands.size()) - 1))];
                if (!Exchange(client, command)) {
                    return false;
                }
            }
            switch (Pick(0, 3)) {
                case 0:
                    // Gone in the middle of a command: the station drops the half line.
                    SendInPieces(client, "GET_OPCODE_P");
                    client.Close();
                    break;
                case 1:
                    client.Close();
                    break;
                default:
                    // Left connected: the next client displaces it.
                    break;
            }
            const std::size_t next = (turn + 1) % clients.size();
            if (clients[turn].connected() && !Displace(clients[turn], clients[next])) {
                return false;
            }
            turn = next;
        }
        return true;
    }

    long sent() const { return sent_; }

  private:
    long Pick(long low, long high) {
        return std::uniform_int_distribution<long>(low, high)(random_);
    }

    bool Connect(RemoteClient& client) {
        if (const std::string why = client.Connect("127.0.0.1", static_cast<std::uint16_t>(port_));
            !why.empty()) {
            std::fprintf(stderr, "soak: cannot connect: %s\n", why.c_str());
            return false;
        }
        return true;
    }

    // The next client connects while the previous one is still there; the station must
    // close the previous connection.
    bool Displace(RemoteClient& previous, RemoteClient& next) {
        if (!Connect(next)) {
            return false;
        }
        std::string reply;
        const RemoteClient::Status status = previous.ReadReply(reply, kReplyTimeoutMs);
        previous.Close();
        if (status != RemoteClient::Status::kClosed) {
            std::fprintf(stderr, "soak: a displaced client was not closed\n");
            return false;
        }
        return true;
    }

    void SendInPieces(RemoteClient& client, std::string_view bytes) {
        while (!bytes.empty()) {
            const auto size = static_cast<std::size_t>(Pick(1, static_cast<long>(bytes.size())));
            client.SendBytes(bytes.substr(0, size));
            bytes.remove_prefix(size);
        }
    }

    // One command in random pieces and its replies. PB, which answers only changes, is
    // followed by a word that is always answered, so its silence ends.
    bool Exchange(RemoteClient& client, const std::string& command) {
        const bool silent = MayStaySilent(command);
        SendInPieces(client, command + "\r" + (silent ? "XYZ\r" : ""));
        sent_ += silent ? 2 : 1;
        std::string reply;
        for (;;) {
            if (client.ReadReply(reply, kReplyTimeoutMs) != RemoteClient::Status::kReply) {
                std::fprintf(stderr, "soak: no reply to %s after %ld commands\n", command.c_str(),
                             sent_);
                return false;
            }
            if (silent && (reply == "SP_BUSY" || reply == "SP_IDLE")) {
                continue;
            }
            if (!EndsCommand(reply)) {
                continue;
            }
            if (!Fits(silent ? "XYZ" : command, reply)) {
                std::fprintf(stderr, "soak: %s answered %s\n", command.c_str(), reply.c_str());
                return false;
            }
            return true;
        }
    }

    Options options_;
    int port_;
    std::mt19937 random_;
    long sent_ = 0;
};

bool StillAnswers(int port) {
    RemoteClient client;
    if (!client.Connect("127.0.0.1", static_cast<std::uint16_t>(port)).empty()) {
        return false;
    }
    const RemoteClient::Exchange exchange = client.Run("PS", kReplyTimeoutMs, kReplyTimeoutMs);
    return exchange.replies == std::vector<std::string>{"PS_DONE"};
}

// Descriptors and memory with one client connected and idle.
struct Usage {
    long descriptors;
    long resident_kb;
};

Usage Measure(pid_t pid, int port) {
    RemoteClient client;
    client.Connect("127.0.0.1", static_cast<std::uint16_t>(port));
    client.Run("PS", kReplyTimeoutMs, kReplyTimeoutMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return {OpenDescriptors(pid), ResidentKilobytes(pid)};
}

int RunSoak(const Options& options) {
    const int port = options.port;
    const pid_t pid = options.pid;

    // Warm up: a load, every command and a few connections before the baseline.
    Soak warm_up({.commands = 2000, .clients = options.clients, .seed = options.seed + 1}, port);
    RemoteClient loader;
    loader.Connect("127.0.0.1", static_cast<std::uint16_t>(port));
    loader.Run("PL beam_short.cfg", kReplyTimeoutMs, kReplyTimeoutMs);
    loader.Close();
    if (!warm_up.Run()) {
        return 1;
    }
    const Usage before = Measure(pid, port);

    const auto start = std::chrono::steady_clock::now();
    Soak soak(options, port);
    const bool completed = soak.Run();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool answers = StillAnswers(port);
    const Usage after = Measure(pid, port);

    std::printf("soak: %ld commands from %d clients in %.1f s (seed %u)\n", soak.sent(),
                options.clients, seconds, options.seed);
    std::printf("soak: open descriptors %ld -> %ld, resident memory %ld kB -> %ld kB (%+ld kB)\n",
                before.descriptors, after.descriptors, before.resident_kb, after.resident_kb,
                after.resident_kb - before.resident_kb);
    const bool same_descriptors = after.descriptors == before.descriptors;
    const bool small_growth = after.resident_kb - before.resident_kb < 1024;
    std::printf("soak: %s\n",
                completed && answers && same_descriptors && small_growth ? "passed" : "FAILED");
    return completed && answers && same_descriptors && small_growth ? 0 : 1;
}

}  // namespace
}  // namespace vantu::soak

int main(int argc, char** argv) {
    vantu::soak::Options options;
    for (int i = 1; i < argc; i += 2) {
        const std::string_view name = argv[i];
        long value = 0;
        const std::string_view text = i + 1 < argc ? argv[i + 1] : "";
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || value < 0) {
            std::fprintf(stderr, "remote_soak: %s needs a number\n", argv[i]);
            return 2;
        }
        if (name == "--port") {
            options.port = static_cast<int>(value);
        } else if (name == "--pid") {
            options.pid = static_cast<pid_t>(value);
        } else if (name == "--commands") {
            options.commands = value;
        } else if (name == "--clients") {
            options.clients = static_cast<int>(value);
        } else if (name == "--seed") {
            options.seed = static_cast<unsigned>(value);
        } else {
            std::fprintf(stderr,
                         "usage: remote_soak --port N --pid P [--commands N] [--clients K] "
                         "[--seed S]\n");
            return 2;
        }
    }
    if (options.port <= 0 || options.pid <= 0) {
        std::fprintf(stderr, "remote_soak: --port and --pid of a running station are needed\n");
        return 2;
    }
    if (options.clients < 2) {
        std::fprintf(stderr, "remote_soak: at least two clients take turns\n");
        return 2;
    }
    return vantu::soak::RunSoak(options);
}
