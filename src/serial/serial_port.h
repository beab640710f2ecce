// The serial port the monitor link runs over: a termios device opened for one
// firmware-version read and closed again. A reader thread takes every received byte
// into the input queue and sets the reply event when the prompt arrives; it is
// stopped through a wake-up descriptor and joined, and it touches nothing but the
// queue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>

#include "serial/input_queue.h"

namespace vantu {

// How the reply readers poll: one wait for received bytes, a short sleep after an
// empty poll, and the number of empty polls in a row that ends a reply.
struct ReplyPolling {
    int event_wait_ms = 100;
    int idle_sleep_ms = 2;
    int idle_limit = 200;
};

// Results of OpenSerialPort.
inline constexpr int kPortReady = 0;
inline constexpr int kPortNotOpened = 1;
inline constexpr int kPortNoWakeUp = 2;

// ReadReplyUntil modes.
inline constexpr int kUntilPrompt = 0;
inline constexpr int kUntil55AA = 1;
inline constexpr int kUntilTerminator = 2;

class SerialPort {
  public:
    // console: where the link's diagnostics go ("T" for a reply time-out ...).
    explicit SerialPort(std::ostream& console, ReplyPolling polling = {});
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // The device COM port numbers map to (setup.ini DEVICE, or the simulated
    // firmware); empty for /dev/ttyS<n-1>.
    void set_device(std::string device) { device_ = std::move(device); }

    int OpenSerialPort(int port, int baud, char parity, char terminator);
    // Without the wake-up exchange and the reader thread; 0 or 1.
    int OpenSerialPortQuiet(int port, int baud, char parity, char terminator);
    void CloseSerialPort();
    bool is_open() const { return fd_ >= 0; }
    bool reader_running() const { return reader_.joinable(); }

    // Each send resets the reply event, so a wait is for this request's prompt.
    void SendCommand(std::string_view text);
    void SendRaw(bool no_terminator, std::string_view data);
    void SendByte(char byte);
    // 0xFF when no byte arrives within the read time-out.
    std::uint8_t ReadByte();
    std::size_t PendingBytes();
    void DiscardInput();
    bool PromptPending();
    // 0 when the reply event is set, 1 after the time-out.
    int WaitReply(int timeout_ms);
    void SetReplyWait(int milliseconds) { reply_wait_ms_ = milliseconds; }
    int reply_wait() const { return reply_wait_ms_; }
    char terminator() const { return terminator_; }

    // The readers keep at most capacity bytes; the rest of a reply is read and
    // dropped. on_batch hears the bytes received so far after every batch. A reply
    // ends at a batch that ends in the prompt once `prompts` prompts have come (two
    // requests sent back to back answer with two), or at once when the line hangs up.
    using BatchObserver = std::function<void(std::size_t)>;
    std::string ReadReply(std::size_t capacity, const BatchObserver& on_batch = {},
                          int prompts = 1);
    std::string PollReply(std::size_t capacity);
    std::string ReadReplyUntil(int mode, std::size_t capacity);
    std::string ReadAvailable(std::size_t capacity);

    // From any thread: a running read returns at once with what it has. Cleared by
    // the next open.
    void Cancel() { queue_.Cancel(); }
    // The far end hung up while the port was open (a USB unplug). Cleared by the next open.
    bool line_lost() const { return queue_.hung_up(); }

  private:
    enum class StopRule { kPromptBatch, kPromptByte, k55AA, kTerminator, kFirstBatch };

    int Open(int port, int baud, char parity, char terminator, bool quiet);
    bool WakeUpAnswered();
    void StartReader();
    void StopReader();
    void ReaderLoop();
    // Waits for received bytes up to timeout_ms; true when some are waiting.
    bool WaitForBytes(int timeout_ms);
    // Without a reader thread: moves what the device holds into the queue.
    void PullAvailable();
    void Write(std::string_view bytes);
    std::string Collect(std::size_t capacity, bool event_wait, StopRule rule,
                        const BatchObserver& on_batch, int prompts);
    bool StopsAfter(StopRule rule, char byte, char previous) const;

    std::ostream& console_;
    ReplyPolling polling_;
    std::string device_;
    int fd_ = -1;
    int wake_fd_ = -1;
    char terminator_ = '\r';
    int reply_wait_ms_ = 0;
    std::uint8_t last_byte_ = 0;
    InputQueue queue_;
    std::thread reader_;
};

}  // namespace vantu
