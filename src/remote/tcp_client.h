// CClient: the client slot's message assembly. Chunks are appended until one ends in
// CR; the message is then handed on whole. The message never holds more than 1023
// bytes: when it is full, the lines it completes are handed on at once, and a line
// that alone fills it is dropped up to its CR.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantu {

inline constexpr char kCr = '\r';
// A read of the client socket takes at most this many bytes.
inline constexpr std::size_t kMaxChunkBytes = 1023;
inline constexpr std::size_t kMaxMessageBytes = 1023;

// Where the assembled messages go.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // Received bytes ending in CR; CR separates the lines.
    virtual void ProcessReceivedText(std::string_view message) = 0;
    // A line that was too long to hold has ended at its CR.
    virtual void ProcessOverlongLine() = 0;
};

class CClient {
  public:
    explicit CClient(MessageSink& sink) : sink_(sink) {}

    void Receive(std::string_view chunk);
    // Forgets a half-received message: the next chunk starts a new one.
    void Reset();

  private:
    void Take(char byte);
    // False when the message holds no complete line.
    bool HandOnCompleteLines();

    MessageSink& sink_;
    std::string message_;
    // Inside an over-long line: bytes are dropped up to its CR.
    bool discarding_ = false;
};

}  // namespace vantu
