#include "sim/simulated_firmware.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <system_error>

namespace vantu {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kPacketBytes = 62;
constexpr std::chrono::milliseconds kPacketLatency{16};
constexpr std::chrono::milliseconds kIdleWait{100};
constexpr int kBitsPerCharacter = 10;

}  // namespace

SimulatedFirmware::SimulatedFirmware(const std::vector<int>& absent_modules, int baud)
    : monitor_(absent_modules),
      character_time_(std::chrono::nanoseconds(1'000'000'000LL * kBitsPerCharacter / baud)) {
    termios raw{};
    cfmakeraw(&raw);
    if (::openpty(&master_fd_, &slave_fd_, nullptr, &raw, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    // The slave stays open here too, so the line survives between clients.
    const char* name = ::ttyname(slave_fd_);
    if (name == nullptr) {
        const int error = errno;
        ::close(slave_fd_);
        ::close(master_fd_);
        throw std::system_error(error, std::generic_category(), "ttyname");
    }
    slave_path_ = name;
    ::fcntl(master_fd_, F_SETFL, ::fcntl(master_fd_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_fd_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_fd_, F_SETFD, FD_CLOEXEC);
    wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    thread_ = std::thread([this] { Serve(); });
}

SimulatedFirmware::~SimulatedFirmware() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wake_fd_, &one, sizeof one);
    thread_.join();
    ::close(wake_fd_);
    ::close(slave_fd_);
    ::close(master_fd_);
}

void SimulatedFirmware::Serve() {
    char buffer[512];
    for (;;) {
        const std::chrono::nanoseconds wait = Deliver();
        const timespec timeout = {static_cast<time_t>(wait.count() / 1'000'000'000),
                                  static_cast<long>(wait.count() % 1'000'000'000)};
        pollfd fds[2] = {{master_fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
        if (::ppoll(fds, 2, &timeout, nullptr) < 0 && errno != EINTR) {
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const ssize_t got = ::read(master_fd_, buffer, sizeof buffer);
            if (got > 0) {
                Queue(monitor_.Receive(std::string_view(buffer, static_cast<std::size_t>(got))));
            }
        }
    }
}

void SimulatedFirmware::Queue(const std::string& bytes) {
    line_free_ = std::max(line_free_, Clock::now());
    for (char byte : bytes) {
        line_free_ += character_time_;
        outgoing_.push_back({byte, line_free_});
    }
}

std::chrono::nanoseconds SimulatedFirmware::Deliver() {
    for (;;) {
        if (outgoing_.empty()) {
            return kIdleWait;
        }
        const TimePoint now = Clock::now();
        TimePoint due = outgoing_.front().ready + kPacketLatency;
        if (outgoing_.size() >= kPacketBytes) {
            due = std::min(due, outgoing_[kPacketBytes - 1].ready);
        }
        if (now < due) {
            return due - now;
        }
        std::string packet;
        while (!outgoing_.empty() && packet.size() < kPacketBytes &&
               outgoing_.front().ready <= now) {
            packet.push_back(outgoing_.front().byte);
            outgoing_.pop_front();
        }
        const ssize_t put = ::write(master_fd_, packet.data(), packet.size());
        if (put < static_cast<ssize_t>(packet.size())) {
            // The client's buffer is full: what did not fit goes first next time.
            const std::size_t sent = put > 0 ? static_cast<std::size_t>(put) : 0;
            for (std::size_t i = packet.size(); i > sent; --i) {
                outgoing_.push_front({packet[i - 1], now});
            }
            return kPacketLatency;
        }
    }
}

}  // namespace vantu
