// One SCPI conversation over a stream socket: a raw TCP socket to an instrument on
// the LAN ("TCPIP::<host>::<port>::SOCKET"), or a local socket to the stand-in
// analyzer. Commands and answers are lines ending in LF. Every wait is bounded; an
// instrument that stays silent past a query's time-out is disconnected, so that its
// late answer is never taken for the next query's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantu {

struct ScpiEndpoint {
    // Empty host: path names a local socket.
    std::string host;
    std::uint16_t port = 0;
    std::string path;
};

// "TCPIP::<host>::<port>::SOCKET" (also TCPIP0::, any letter case); none otherwise.
std::optional<ScpiEndpoint> ParseSocketResource(std::string_view resource);

class ScpiConnection {
  public:
    static constexpr int kConnectTimeoutMs = 2000;
    static constexpr int kQueryTimeoutMs = 2000;
    // Answers longer than this are cut off: an instrument cannot grow station memory.
    static constexpr std::size_t kMaxAnswer = 4096;

    explicit ScpiConnection(ScpiEndpoint endpoint) : endpoint_(std::move(endpoint)) {}
    ~ScpiConnection();
    ScpiConnection(const ScpiConnection&) = delete;
    ScpiConnection& operator=(const ScpiConnection&) = delete;

    bool Connect(int timeout_ms = kConnectTimeoutMs);
    bool connected() const { return fd_ >= 0; }
    void Close();

    // Sends command and LF; false (and disconnected) when that fails. Whatever the
    // instrument sent unasked before it (an extra line, a late answer) is dropped, so
    // it is never read as this command's answer.
    bool Write(std::string_view command);
    // The answer line without its line end; none after a failure or silence.
    std::optional<std::string> Query(std::string_view command, int timeout_ms = kQueryTimeoutMs);

    const ScpiEndpoint& endpoint() const { return endpoint_; }

  private:
    void DropStaleInput();
    std::optional<std::string> ReadLine(int timeout_ms);

    ScpiEndpoint endpoint_;
    int fd_ = -1;
    std::string pending_;
};

}  // namespace vantu
