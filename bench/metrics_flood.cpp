// metrics_flood: many half-sent requests held open against the metrics endpoint of a
// running station, then remote commands while they hold on. Prints the station's open
// descriptors and resident memory before, during and after, and how many commands
// were answered; the endpoint should keep its connection cap and the commands all pass.
//   metrics_flood --metrics-port M --port N --pid P [--clients K] [--commands C]
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "remote/remote_client.h"

namespace {

struct Options {
    int metrics_port = 0;
    int port = 0;
    int pid = -1;
    int clients = 3000;
    int commands = 50;
};

long OpenDescriptors(int pid) {
    std::error_code error;
    long count = 0;
    for (std::filesystem::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", error);
         !error && it != std::filesystem::end(it); it.increment(error)) {
        ++count;
    }
    return count;
}

std::string ResidentMemory(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) {
            return line.substr(line.find_first_not_of(" \t", 6));
        }
    }
    return "?";
}

void Report(const Options& options, const char* when) {
    std::printf("%-28s descriptors %5ld   resident %s\n", when, OpenDescriptors(options.pid),
                ResidentMemory(options.pid).c_str());
}

// A connection begun without waiting for it, so that all of them arrive at once.
int StartConnection(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return fd;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view name = argv[i];
        const std::string_view text = argv[i + 1];
        int* target = name == "--metrics-port" ? &options.metrics_port
                      : name == "--port"       ? &options.port
                      : name == "--pid"        ? &options.pid
                      : name == "--clients"    ? &options.clients
                      : name == "--commands"   ? &options.commands
                                               : nullptr;
        if (target == nullptr ||
            std::from_chars(text.data(), text.data() + text.size(), *target).ec != std::errc()) {
            return false;
        }
    }
    return options.metrics_port > 0 && options.port > 0 && options.pid > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: metrics_flood --metrics-port M --port N --pid P [--clients K] "
                     "[--commands C]\n");
        return 2;
    }
    const rlimit plenty{static_cast<rlim_t>(options.clients) + 64,
                        static_cast<rlim_t>(options.clients) + 64};
    ::setrlimit(RLIMIT_NOFILE, &plenty);
    Report(options, "before");
    std::vector<int> held;
    for (int i = 0; i < options.clients; ++i) {
        held.push_back(StartConnection(options.metrics_port));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // The first line of a request, and never the rest.
    constexpr std::string_view kFirstLine = "GET /metrics HTTP/1.1\r\n";
    for (int fd : held) {
        ::send(fd, kFirstLine.data(), kFirstLine.size(), MSG_NOSIGNAL);
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Report(options, "half-open requests held");
    vantu::RemoteClient remote;
    int answered = 0;
    if (remote.Connect("127.0.0.1", static_cast<std::uint16_t>(options.port)).empty()) {
        for (int i = 0; i < options.commands; ++i) {
            std::string reply;
            remote.SendBytes("PS\r");
            answered += remote.ReadReply(reply, 5000) == vantu::RemoteClient::Status::kReply &&
                        reply == "PS_DONE";
        }
    }
    std::printf("commands answered during the flood: %d of %d\n", answered, options.commands);
    for (int fd : held) {
        ::close(fd);
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Report(options, "after");
    return answered == options.commands ? 0 : 1;
}
