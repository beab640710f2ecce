#include "scpi_instrument.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <utility>

namespace vantu::testing {
namespace {

constexpr int kPollMs = 20;

}  // namespace

ScpiInstrument::ScpiInstrument() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 4);
    socklen_t size = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

ScpiInstrument::~ScpiInstrument() {
    stop_ = true;
    thread_.join();
    close(listener_);
}

std::string ScpiInstrument::resource() const {
    return "TCPIP::127.0.0.1::" + std::to_string(port_) + "::SOCKET";
}

void ScpiInstrument::Answer(const std::string& query, const std::string& answer) {
    std::lock_guard lock(mutex_);
    answers_[query] = answer;
}

void ScpiInstrument::FailAfter(const std::string& command, std::vector<std::string> errors) {
    std::lock_guard lock(mutex_);
    failures_[command] = std::move(errors);
}

void ScpiInstrument::Misbehave(const std::string& line, Misbehaviour how) {
    std::lock_guard lock(mutex_);
    misbehaviours_[line] = how;
}

std::vector<std::string> ScpiInstrument::Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(received_, {});
}

void ScpiInstrument::Serve() {
    while (!stop_) {
        pollfd watch{listener_, POLLIN, 0};
        if (poll(&watch, 1, kPollMs) == 1) {
            const int fd = accept(listener_, nullptr, nullptr);
            if (fd >= 0) {
                ServeClient(fd);
                close(fd);
            }
        }
    }
}

void ScpiInstrument::ServeClient(int fd) {
    std::string pending;
    while (!stop_) {
        pollfd watch{fd, POLLIN, 0};
        if (poll(&watch, 1, kPollMs) != 1) {
            continue;
        }
        char buffer[512];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            Misbehaviour how = Misbehaviour::kNone;
            std::string bytes = Reply(line, how);
            if (how == Misbehaviour::kClose) {
                return;
            }
            if (how == Misbehaviour::kSlow) {
                std::this_thread::sleep_for(std::chrono::milliseconds(kSlowMs));
            }
            bytes = how == Misbehaviour::kGarbage                   ? "\x01#?garbage\n"
                    : how == Misbehaviour::kSilent || bytes.empty() ? ""
                                                                    : bytes + "\n";
            bytes += how == Misbehaviour::kExtraLine ? "EXTRA\n" : "";
            send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        }
    }
}

std::string ScpiInstrument::Reply(const std::string& line, Misbehaviour& how) {
    std::lock_guard lock(mutex_);
    received_.push_back(line);
    if (const auto found = misbehaviours_.find(line); found != misbehaviours_.end()) {
        how = found->second;
    }
    if (const auto failure = failures_.find(line); failure != failures_.end()) {
        errors_.insert(errors_.end(), failure->second.begin(), failure->second.end());
    }
    if (line == ":SYST:ERR?") {
        if (errors_.empty()) {
            return "0,\"No error\"";
        }
        std::string error = errors_.front();
        errors_.pop_front();
        return error;
    }
    const auto answer = answers_.find(line);
    return answer == answers_.end() ? std::string() : answer->second;
}

}  // namespace vantu::testing
