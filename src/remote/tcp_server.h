// CCServer: the station's TCP server as the core holds it. It opens and closes the
// listener, keeps the client slot and its message assembly, cuts messages into
// command lines for the dispatcher, sends the replies, and writes every transport
// event to the TCP message list and the operation log.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/log_files.h"
#include "base/message_list.h"
#include "controller/controller_flags.h"
#include "remote/elapsed_timer.h"
#include "remote/remote_transport.h"
#include "remote/tcp_client.h"

namespace vantu {

// Runs one received command line (without its CR).
class CommandDispatch {
  public:
    virtual ~CommandDispatch() = default;
    virtual void DispatchCommand(const std::string& line) = 0;
    // A line too long to hold: answered like a command word nobody knows.
    virtual void DispatchOverlongLine() = 0;
};

struct ServerContext {
    RemoteTransport& transport;
    LogFiles& logs;
    // The TCP message list of the signal-analyzer page.
    MessageList& messages;
    ControllerFlags& flags;
    ElapsedTimer& elapsed;
};

class CCServer : public TransportEvents, public MessageSink {
  public:
    // The dispatch object may be constructed after the server; it is used only once
    // messages arrive.
    CCServer(const ServerContext& context, CommandDispatch& dispatch);

    // 0 when listening; 1 after a failure, which is listed and logged. Never retried.
    int OpenServer();
    // When the server is open: logs the close, shuts the client down, stops listening.
    void CloseServer();

    // 1 for an empty text, which sends nothing; otherwise the CP950 text and one CR, and
    // 0. A received command's replies leave together, in one write, when it ends: every
    // command replies after its waits, so no reply waits behind a sleep or a prompt.
    int SendReply(std::string_view text);
    // The answer to a line that names no command.
    void AnswerNotSupported();

    // M, L and S of the command descriptions.
    void List(std::string_view text);
    void Log(std::string_view text);
    void ListAndLog(std::string_view text);
    void Separators();
    // Empties the TCP message list when it holds more than 30 lines.
    void TrimList();

    void OnConnectionRequested() override;
    void OnDataReceived(std::string_view bytes) override;
    void OnPeerClosed() override;
    void OnConnectionRefused(std::string_view address) override;

    void ProcessReceivedText(std::string_view message) override;
    void ProcessOverlongLine() override;

  private:
    void BeginMessage();
    // Runs one command with its replies gathered.
    void Gathered(const std::function<void()>& command);
    // The transport shut out a client that reads no replies: reported as its close, and
    // nothing more of what it sent is run.
    void LoseDroppedClient();

    ServerContext ctx_;
    CommandDispatch& dispatch_;
    CClient client_{*this};
    // Set from a drop until the next client connects.
    bool client_dropped_ = false;
};

}  // namespace vantu
