// The bytes received from the line and not yet read, shared between the reader
// thread that fills it and the GUI thread that drains it. It also carries the reply
// event: set when a prompt character arrives, so a waiter learns a reply is complete
// without reading it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

namespace vantu {

inline constexpr char kPromptChar = '>';

class InputQueue {
  public:
    // Appends a batch; sets the reply event when the batch holds a prompt.
    void Push(const char* data, std::size_t length);
    // Everything waiting, as one batch.
    std::string TakeAll();
    // The oldest byte; false when none is waiting.
    bool TakeOne(char& byte);
    std::size_t Size() const;
    void Clear();

    // Waits until bytes are waiting, the queue is cancelled or the time is up.
    bool WaitForData(std::chrono::milliseconds timeout);

    bool WaitReplyEvent(std::chrono::milliseconds timeout);
    void ResetReplyEvent();

    // Wakes every waiter and makes later waits return at once, until Reset.
    void Cancel();
    bool cancelled() const;
    // The far end hung up: no byte will come any more. Waits return at once, until Reset.
    void HangUp();
    bool hung_up() const;
    void Reset();

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<char> bytes_;
    bool reply_event_ = false;
    bool cancelled_ = false;
    bool hung_up_ = false;
};

}  // namespace vantu
