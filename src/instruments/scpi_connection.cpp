#include "instruments/scpi_connection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <vector>

namespace vantu {
namespace {

using SteadyClock = std::chrono::steady_clock;

std::string Upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

int MillisecondsLeft(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

// Non-blocking connect, waited for up to timeout_ms.
bool ConnectWithin(int fd, const sockaddr* address, socklen_t length, int timeout_ms) {
    if (connect(fd, address, length) == 0) {
        return true;
    }
    if (errno != EINPROGRESS) {
        return false;
    }
    pollfd watch{fd, POLLOUT, 0};
    if (poll(&watch, 1, timeout_ms) != 1) {
        return false;
    }
    int error = 0;
    socklen_t size = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

int OpenLocal(const std::string& path, int timeout_ms) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        return -1;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0 && !ConnectWithin(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address,
                                  timeout_ms)) {
        close(fd);
        return -1;
    }
    return fd;
}

int OpenTcp(const std::string& host, std::uint16_t port, int timeout_ms) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return -1;
    }
    int fd = -1;
    for (addrinfo* entry = found; entry != nullptr && fd < 0; entry = entry->ai_next) {
        fd = socket(entry->ai_family, entry->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                    entry->ai_protocol);
        if (fd >= 0 && !ConnectWithin(fd, entry->ai_addr, entry->ai_addrlen, timeout_ms)) {
            close(fd);
            fd = -1;
        }
    }
    // Each command is a small write answered before the next: without this, Nagle's
    // wait for the delayed acknowledgement adds about 40 ms to every one.
    const int on = 1;
    if (fd >= 0) {
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    freeaddrinfo(found);
    return fd;
}

}  // namespace

std::optional<ScpiEndpoint> ParseSocketResource(std::string_view resource) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const auto end = resource.find("::", start);
        parts.push_back(resource.substr(start, end - start));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 2;
    }
    if (parts.size() != 4 || !Upper(parts[0]).starts_with("TCPIP") || Upper(parts[3]) != "SOCKET" ||
        parts[1].empty()) {
        return std::nullopt;
    }
    unsigned port = 0;
    for (char c : parts[2]) {
        if (c < '0' || c > '9' || port > 65535) {
            return std::nullopt;
        }
        port = port * 10 + static_cast<unsigned>(c - '0');
    }
    if (parts[2].empty() || port == 0 || port > 65535) {
        return std::nullopt;
    }
    return ScpiEndpoint{std::string(parts[1]), static_cast<std::uint16_t>(port), {}};
}

ScpiConnection::~ScpiConnection() {
    Close();
}

bool ScpiConnection::Connect(int timeout_ms) {
    Close();
    fd_ = endpoint_.host.empty() ? OpenLocal(endpoint_.path, timeout_ms)
                                 : OpenTcp(endpoint_.host, endpoint_.port, timeout_ms);
    return fd_ >= 0;
}

void ScpiConnection::Close() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    pending_.clear();
}

bool ScpiConnection::Write(std::string_view command) {
    if (fd_ < 0) {
        return false;
    }
    DropStaleInput();
    std::string bytes(command);
    bytes += '\n';
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(kQueryTimeoutMs);
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        pollfd watch{fd_, POLLOUT, 0};
        if ((n < 0 && errno != EAGAIN && errno != EINTR) ||
            poll(&watch, 1, MillisecondsLeft(deadline)) != 1) {
            Close();
            return false;
        }
    }
    return true;
}

void ScpiConnection::DropStaleInput() {
    pending_.clear();
    char buffer[1024];
    // Bounded, so an instrument that never stops talking cannot hold the caller.
    for (std::size_t dropped = 0; dropped < 16 * kMaxAnswer;) {
        const ssize_t n = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n <= 0) {
            return;
        }
        dropped += static_cast<std::size_t>(n);
    }
}

std::optional<std::string> ScpiConnection::Query(std::string_view command, int timeout_ms) {
    if (!Write(command)) {
        return std::nullopt;
    }
    return ReadLine(timeout_ms);
}

std::optional<std::string> ScpiConnection::ReadLine(int timeout_ms) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        const auto end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, std::min(end, kMaxAnswer));
            pending_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return line;
        }
        if (pending_.size() > kMaxAnswer) {
            pending_.resize(kMaxAnswer);
        }
        pollfd watch{fd_, POLLIN, 0};
        const int ready = poll(&watch, 1, MillisecondsLeft(deadline));
        char buffer[1024];
        const ssize_t n = ready == 1 ? recv(fd_, buffer, sizeof buffer, 0) : -1;
        if (n <= 0) {
            if (n < 0 && ready == 1 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            Close();
            return std::nullopt;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace vantu
