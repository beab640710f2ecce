#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>

namespace vantu::testing {

PtyPeer::PtyPeer(Script script) : script_(std::move(script)) {
    termios raw{};
    cfmakeraw(&raw);
    if (::openpty(&master_, &slave_, nullptr, &raw, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    path_ = ::ttyname(slave_);
    wake_ = ::eventfd(0, EFD_NONBLOCK);
    thread_ = std::thread([this] { Serve(); });
}

PtyPeer::~PtyPeer() {
    HangUp();
    ::close(wake_);
}

void PtyPeer::HangUp() {
    if (!thread_.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wake_, &one, sizeof one);
    thread_.join();
    ::close(slave_);
    ::close(master_);
}

std::string PtyPeer::WaitReceived(std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;; std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
        std::lock_guard lock(mutex_);
        if (received_.size() >= count || std::chrono::steady_clock::now() >= deadline) {
            return received_;
        }
    }
}

void PtyPeer::Write(std::string_view bytes) {
    [[maybe_unused]] ssize_t n = ::write(master_, bytes.data(), bytes.size());
}

void PtyPeer::Serve() {
    char buffer[4096];
    for (;;) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_, POLLIN, 0}};
        ::poll(fds, 2, 100);
        if (fds[1].revents != 0) {
            return;
        }
        const ssize_t got = (fds[0].revents & POLLIN) ? ::read(master_, buffer, sizeof buffer) : 0;
        if (got <= 0) {
            continue;
        }
        const std::string_view chunk(buffer, static_cast<std::size_t>(got));
        {
            std::lock_guard lock(mutex_);
            received_.append(chunk);
        }
        const std::vector<std::string> answers = script_ ? script_(chunk) : Script::result_type{};
        for (std::size_t i = 0; i < answers.size(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(i == 0 ? 0 : 30));
            Write(answers[i]);
        }
    }
}

std::vector<std::string> EchoFirmware(std::string_view received) {
    std::string answer;
    for (char c : received) {
        answer += c == '\r' ? std::string("\r\n>") : std::string(1, c);
    }
    return {answer};
}

}  // namespace vantu::testing
