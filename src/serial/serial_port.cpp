#include "serial/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>

#include "serial/line_settings.h"

namespace vantu {
namespace {

using std::chrono::milliseconds;

// Read time-outs: 300 ms between bytes, 100 ms a byte plus 200 ms in all; writes the same.
constexpr int kReadIntervalMs = 300;
constexpr int kPerByteMs = 100;
constexpr int kTotalExtraMs = 200;
constexpr int kWakeUpSettleMs = 100;
constexpr int kReaderWaitMs = 100;

void SleepMs(int ms) {
    std::this_thread::sleep_for(milliseconds(ms));
}

}  // namespace

SerialPort::SerialPort(std::ostream& console, ReplyPolling polling)
    : console_(console), polling_(polling) {}

SerialPort::~SerialPort() {
    CloseSerialPort();
}

int SerialPort::OpenSerialPort(int port, int baud, char parity, char terminator) {
    return Open(port, baud, parity, terminator, false);
}

int SerialPort::OpenSerialPortQuiet(int port, int baud, char parity, char terminator) {
    return Open(port, baud, parity, terminator, true);
}

int SerialPort::Open(int port, int baud, char parity, char terminator, bool quiet) {
    CloseSerialPort();
    queue_.Reset();
    const std::string path = ComDevicePath(port, device_);
    const std::string name = path.empty() ? "COM" + std::to_string(port) : path;
    int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    // Not shared: a second opener (another station, a terminal program) is refused.
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) {
        console_ << "init : Open " << name << " Error\n";
        return kPortNotOpened;
    }
    fd_ = fd;
    ::ioctl(fd_, TIOCEXCL);

    termios line{};
    if (::tcgetattr(fd_, &line) != 0) {
        console_ << "init : Get CommState Error\n";
    }
    if (!ApplyLineSettings(line, baud, ParityFromLetter(parity))) {
        console_ << "init : Open " << name << " Error\n";
        CloseSerialPort();
        return kPortNotOpened;
    }
    ::tcsetattr(fd_, TCSANOW, &line);
    // A line without modem controls (a pseudo-terminal) refuses this; it still works.
    int modem_lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd_, TIOCMBIC, &modem_lines);
    // Bytes left on the line by an earlier session must not spoil the wake-up answer.
    ::tcflush(fd_, TCIFLUSH);
    terminator_ = terminator;

    int result = kPortReady;
    if (!quiet && !WakeUpAnswered()) {
        result = kPortNoWakeUp;
    }
    reply_wait_ms_ = 0;
    ::tcflush(fd_, TCIOFLUSH);
    queue_.Reset();
    if (!quiet) {
        try {
            StartReader();
        } catch (const std::system_error&) {
            return kPortNoWakeUp;
        }
    }
    return result;
}

bool SerialPort::WakeUpAnswered() {
    SendByte(terminator_);
    // The answer is read once it is complete, or after the settle time.
    const auto settled = std::chrono::steady_clock::now() + milliseconds(kWakeUpSettleMs);
    while (queue_.Size() < 3 && std::chrono::steady_clock::now() < settled) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(settled - std::chrono::steady_clock::now());
        pollfd in = {fd_, POLLIN, 0};
        ::poll(&in, 1, static_cast<int>(left.count()) + 1);
        PullAvailable();
    }
    const std::uint8_t first = ReadByte();
    const std::uint8_t second = ReadByte();
    ReadByte();  // the prompt
    return first == '\r' && second == '\n';
}

void SerialPort::StartReader() {
    wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_fd_ < 0) {
        throw std::system_error(errno, std::generic_category());
    }
    reader_ = std::thread([this] { ReaderLoop(); });
}

void SerialPort::StopReader() {
    if (reader_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wake_fd_, &one, sizeof one);
        reader_.join();
    }
    if (wake_fd_ >= 0) {
        ::close(wake_fd_);
        wake_fd_ = -1;
    }
}

void SerialPort::ReaderLoop() {
    char buffer[4096];
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
        if (::poll(fds, 2, kReaderWaitMs) < 0 && errno != EINTR) {
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
        }
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got > 0) {
            queue_.Push(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            // End of file, EIO or a hang-up: the far end is gone (a USB unplug). Every
            // wait ends now, and the thread ends rather than spin on the dead line.
            queue_.HangUp();
            return;
        }
    }
}

void SerialPort::CloseSerialPort() {
    StopReader();
    if (fd_ >= 0) {
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
}

void SerialPort::Write(std::string_view bytes) {
    if (fd_ < 0) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() +
                          milliseconds(kPerByteMs * static_cast<int>(bytes.size()) + kTotalExtraMs);
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
        if (put > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(put));
            continue;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return;
        }
        pollfd out = {fd_, POLLOUT, 0};
        ::poll(&out, 1, static_cast<int>(left.count()));
    }
}

void SerialPort::SendCommand(std::string_view text) {
    SendRaw(false, text);
}

void SerialPort::SendRaw(bool no_terminator, std::string_view data) {
    queue_.ResetReplyEvent();
    std::string bytes(data);
    if (!no_terminator) {
        bytes.push_back(terminator_);
    }
    Write(bytes);
}

void SerialPort::SendByte(char byte) {
    Write(std::string_view(&byte, 1));
}

void SerialPort::PullAvailable() {
    if (fd_ < 0 || reader_running()) {
        return;
    }
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd_, buffer, sizeof buffer)) > 0) {
        queue_.Push(buffer, static_cast<std::size_t>(got));
    }
    if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
        queue_.HangUp();
    }
}

bool SerialPort::WaitForBytes(int timeout_ms) {
    if (reader_running() || fd_ < 0) {
        return queue_.WaitForData(milliseconds(timeout_ms));
    }
    PullAvailable();
    if (queue_.Size() == 0 && !queue_.cancelled()) {
        pollfd in = {fd_, POLLIN, 0};
        if (::poll(&in, 1, timeout_ms) > 0) {
            PullAvailable();
        }
    }
    return queue_.Size() != 0;
}

std::uint8_t SerialPort::ReadByte() {
    char byte = 0;
    if (!WaitForBytes(kPerByteMs + kTotalExtraMs) || !queue_.TakeOne(byte)) {
        return 0xFF;
    }
    last_byte_ = static_cast<std::uint8_t>(byte);
    return last_byte_;
}

std::size_t SerialPort::PendingBytes() {
    PullAvailable();
    return queue_.Size();
}

void SerialPort::DiscardInput() {
    PullAvailable();
    queue_.TakeAll();
}

bool SerialPort::PromptPending() {
    PullAvailable();
    const std::string waiting = queue_.TakeAll();
    if (waiting.empty()) {
        console_ << "l0";
        return false;
    }
    return waiting.find(kPromptChar) != std::string::npos;
}

int SerialPort::WaitReply(int timeout_ms) {
    if (queue_.WaitReplyEvent(milliseconds(timeout_ms))) {
        return 0;
    }
    SleepMs(2);
    return 1;
}

std::string SerialPort::ReadReply(std::size_t capacity, const BatchObserver& on_batch,
                                  int prompts) {
    return Collect(capacity, true, StopRule::kPromptBatch, on_batch, prompts);
}

std::string SerialPort::PollReply(std::size_t capacity) {
    return Collect(capacity, false, StopRule::kPromptBatch, {}, 1);
}

std::string SerialPort::ReadReplyUntil(int mode, std::size_t capacity) {
    const StopRule rule = mode == kUntil55AA         ? StopRule::k55AA
                          : mode == kUntilTerminator ? StopRule::kTerminator
                                                     : StopRule::kPromptByte;
    return Collect(capacity, false, rule, {}, 1);
}

std::string SerialPort::ReadAvailable(std::size_t capacity) {
    return Collect(capacity, false, StopRule::kFirstBatch, {}, 1);
}

bool SerialPort::StopsAfter(StopRule rule, char byte, char previous) const {
    switch (rule) {
        case StopRule::kPromptByte:
            return byte == kPromptChar;
        case StopRule::k55AA:
            return previous == '\x55' && byte == '\xAA';
        case StopRule::kTerminator:
            return byte == terminator_;
        default:
            return false;
    }
}

std::string SerialPort::Collect(std::size_t capacity, bool event_wait, StopRule rule,
                                const BatchObserver& on_batch, int prompts) {
    const bool per_byte =
        rule == StopRule::kPromptByte || rule == StopRule::k55AA || rule == StopRule::kTerminator;
    std::string reply;
    std::size_t received = 0;
    char previous = 0;
    int idle = 0;
    int prompts_seen = 0;
    while (idle < polling_.idle_limit && !queue_.cancelled()) {
        const bool waiting = event_wait ? WaitForBytes(polling_.event_wait_ms)
                                        : (PullAvailable(), queue_.Size() != 0);
        if (!waiting && queue_.hung_up()) {
            return reply;
        }
        if (!waiting) {
            ++idle;
            SleepMs(polling_.idle_sleep_ms);
            continue;
        }
        idle = 0;
        std::string batch;
        bool stopped = false;
        if (per_byte) {
            char byte = 0;
            while (!stopped && queue_.TakeOne(byte)) {
                batch.push_back(byte);
                stopped = StopsAfter(rule, byte, previous);
                previous = byte;
            }
        } else {
            batch = queue_.TakeAll();
            prompts_seen += static_cast<int>(std::count(batch.begin(), batch.end(), kPromptChar));
            stopped = rule == StopRule::kFirstBatch ||
                      (!batch.empty() && batch.back() == kPromptChar && prompts_seen >= prompts);
        }
        received += batch.size();
        reply.append(batch, 0, std::min(batch.size(), capacity - std::min(capacity, reply.size())));
        if (on_batch) {
            on_batch(received);
        }
        if (stopped) {
            return reply;
        }
    }
    if (idle >= polling_.idle_limit) {
        console_ << "T";
    }
    return reply;
}

}  // namespace vantu
