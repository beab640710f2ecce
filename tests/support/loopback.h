// Loopback sockets for tests of the TCP server: a port nobody listens on and a plain
// client that sees the bytes exactly as they arrive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantu::testing {

// A port that was free a moment ago; whoever binds it must still cope with losing it.
std::uint16_t FreeLoopbackPort();

class LoopbackClient {
  public:
    // receive_buffer: a small one makes a client that reads nothing fill up quickly.
    // source: the loopback address to connect from ("127.0.0.2"); any when null.
    explicit LoopbackClient(std::uint16_t port, int receive_buffer = 0,
                            const char* source = nullptr);
    ~LoopbackClient();
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    bool connected() const { return connected_; }
    int fd() const { return fd_; }
    void Send(const std::string& bytes);
    void ShutdownWrite();
    // Reads until count bytes came, the peer closed (ended) or timeout_ms passed; 0
    // takes only what has already arrived.
    std::string Read(std::size_t count, int timeout_ms = 5000);

    bool ended = false;

  private:
    int fd_;
    bool connected_ = false;
};

}  // namespace vantu::testing
