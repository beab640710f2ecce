#include "loopback.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace vantu::testing {
namespace {

sockaddr_in Loopback(std::uint16_t port) {
    return {AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
}

}  // namespace

std::uint16_t FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

LoopbackClient::LoopbackClient(std::uint16_t port, int receive_buffer, const char* source)
    : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    if (receive_buffer > 0) {
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
    }
    if (source != nullptr) {
        sockaddr_in from = Loopback(0);
        ::inet_pton(AF_INET, source, &from.sin_addr);
        ::bind(fd_, reinterpret_cast<const sockaddr*>(&from), sizeof from);
    }
    const sockaddr_in address = Loopback(port);
    connected_ = ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    // Reads wait in poll; a send into full buffers fails instead of blocking the test.
    ::fcntl(fd_, F_SETFL, O_NONBLOCK);
}

LoopbackClient::~LoopbackClient() {
    ::close(fd_);
}

void LoopbackClient::Send(const std::string& bytes) {
    ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

void LoopbackClient::ShutdownWrite() {
    ::shutdown(fd_, SHUT_WR);
}

std::string LoopbackClient::Read(std::size_t count, int timeout_ms) {
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (bytes.size() < count && !ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd_, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(std::max<long>(left.count(), 0))) <= 0) {
            break;
        }
        char buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, std::min(sizeof buffer, count - bytes.size()), 0);
        if (n <= 0) {
            ended = true;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

}  // namespace vantu::testing
