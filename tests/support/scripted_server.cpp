#include "scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <utility>

namespace vantu::testing {

constexpr int kPollMs = 20;

ScriptedServer::ScriptedServer(char terminator, bool ipv6) : terminator_(terminator) {
    listener_ = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // Family, any port, then the loopback address.
    sockaddr_in6 address6{AF_INET6, 0, 0, in6addr_loopback, 0};
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    auto* bound =
        ipv6 ? reinterpret_cast<sockaddr*>(&address6) : reinterpret_cast<sockaddr*>(&address);
    socklen_t size = ipv6 ? sizeof address6 : sizeof address;
    bind(listener_, bound, size);
    listen(listener_, 4);
    getsockname(listener_, bound, &size);
    port_ = ntohs(ipv6 ? address6.sin6_port : address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

ScriptedServer::~ScriptedServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
}

void ScriptedServer::Answer(const std::string& query, const std::string& answer) {
    std::lock_guard lock(mutex_);
    answers_[query] = answer;
}

void ScriptedServer::FailAfter(const std::string& command, std::vector<std::string> errors) {
    std::lock_guard lock(mutex_);
    failures_[command] = std::move(errors);
}

void ScriptedServer::Misbehave(const std::string& line, Misbehaviour how) {
    std::lock_guard lock(mutex_);
    misbehaviours_[line] = how;
}

std::vector<std::string> ScriptedServer::Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(received_, {});
}

void ScriptedServer::Serve() {
    while (!stop_) {
        pollfd watch{listener_, POLLIN, 0};
        const int fd = poll(&watch, 1, kPollMs) == 1 ? accept(listener_, nullptr, nullptr) : -1;
        if (fd >= 0) {
            ServeClient(fd);
            close(fd);
        }
    }
}

void ScriptedServer::ServeClient(int fd) {
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
        for (std::size_t end; (end = pending.find(terminator_)) != std::string::npos;) {
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
            const std::string ending(1, terminator_);
            bytes = how == Misbehaviour::kGarbage                   ? "\x01#?garbage" + ending
                    : how == Misbehaviour::kSilent || bytes.empty() ? ""
                                                                    : bytes + ending;
            bytes += how == Misbehaviour::kExtraLine ? "EXTRA" + ending : "";
            send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        }
    }
}

std::string ScriptedServer::Reply(const std::string& line, Misbehaviour& how) {
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
