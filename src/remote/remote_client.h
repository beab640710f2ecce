// The client side of the remote protocol, for the vantu-remote tool, the benchmark
// and the tests: command lines out with CR, CR-terminated replies in, and which
// replies end a command.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantu {

// False for the replies that another reply follows: the card-absent notice, the data
// line of GET_OPCODE_PARAM and the measurement line of VSA_RD.
bool EndsCommand(std::string_view reply);

// True for the tokens that say a command was not carried out: every *_FAIL,
// NOT_SUPPORT, FILE_NOT_EXIST and SP_BUSY.
bool IsFailureReply(std::string_view reply);

// True for the commands that may send nothing: PB when the busy state is unchanged,
// VSA_SEND always.
bool MayStaySilent(std::string_view command);

class RemoteClient {
  public:
    RemoteClient() = default;
    ~RemoteClient();
    RemoteClient(const RemoteClient&) = delete;
    RemoteClient& operator=(const RemoteClient&) = delete;

    // Empty on success; otherwise what went wrong.
    std::string Connect(const std::string& host, std::uint16_t port);
    void Close();
    bool connected() const { return fd_ >= 0; }

    // The bytes as they are, in as few writes as the system takes.
    bool SendBytes(std::string_view bytes);

    enum class Status { kReply, kTimeout, kClosed };
    // The next reply without its CR.
    Status ReadReply(std::string& reply, int timeout_ms);

    struct Exchange {
        std::vector<std::string> replies;
        // kReply when a reply ended the command; kTimeout when the wait ran out.
        Status end = Status::kTimeout;
    };
    // Sends the command and its CR and collects its replies. A command that may stay
    // silent is given quiet_ms, any other timeout_ms, for each reply.
    Exchange Run(std::string_view command, int timeout_ms, int quiet_ms);

  private:
    int fd_ = -1;
    std::string pending_;
};

}  // namespace vantu
