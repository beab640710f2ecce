#include "remote/remote_client.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "remote/command_words.h"

namespace vantu {

bool EndsCommand(std::string_view reply) {
    return reply != "PXIE_CARD_NOT_EXIST" && !reply.starts_with("OPCODE_PARAM ") &&
           !reply.starts_with("VSA_RD ");
}

bool IsFailureReply(std::string_view reply) {
    return reply.ends_with("_FAIL") || reply == "NOT_SUPPORT" || reply == "FILE_NOT_EXIST" ||
           reply == "SP_BUSY";
}

bool MayStaySilent(std::string_view command) {
    const std::string_view word = FirstWord(command);
    return word == "PB" || word == "VSA_SEND";
}

RemoteClient::~RemoteClient() {
    Close();
}

std::string RemoteClient::Connect(const std::string& host, std::uint16_t port) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int error = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
        error != 0) {
        return ::gai_strerror(error);
    }
    std::string why = "no address";
    for (addrinfo* address = found; address != nullptr; address = address->ai_next) {
        const int fd =
            ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (fd < 0) {
            why = std::strerror(errno);
            continue;
        }
        if (::connect(fd, address->ai_addr, address->ai_addrlen) == 0) {
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            fd_ = fd;
            break;
        }
        why = std::strerror(errno);
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return fd_ >= 0 ? std::string() : why;
}

void RemoteClient::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    pending_.clear();
}

bool RemoteClient::SendBytes(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

RemoteClient::Status RemoteClient::ReadReply(std::string& reply, int timeout_ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (const std::size_t cr = pending_.find('\r'); cr != std::string::npos) {
            reply = pending_.substr(0, cr);
            pending_.erase(0, cr + 1);
            return Status::kReply;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return Status::kTimeout;
        }
        pollfd ready{fd_, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            return polled == 0 ? Status::kTimeout : Status::kClosed;
        }
        char buffer[4096];
        const ssize_t count = ::recv(fd_, buffer, sizeof buffer, 0);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return Status::kClosed;
        }
        pending_.append(buffer, static_cast<std::size_t>(count));
    }
}

RemoteClient::Exchange RemoteClient::Run(std::string_view command, int timeout_ms, int quiet_ms) {
    Exchange exchange;
    std::string line(command);
    line += '\r';
    if (!SendBytes(line)) {
        exchange.end = Status::kClosed;
        return exchange;
    }
    const int wait_ms = MayStaySilent(command) ? quiet_ms : timeout_ms;
    for (;;) {
        std::string reply;
        exchange.end = ReadReply(reply, wait_ms);
        if (exchange.end != Status::kReply) {
            return exchange;
        }
        exchange.replies.push_back(reply);
        if (EndsCommand(reply)) {
            return exchange;
        }
    }
}

}  // namespace vantu
