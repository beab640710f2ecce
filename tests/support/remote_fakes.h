// Stand-ins around the TCP server core: a transport that captures what the server
// does to the socket layer, an elapsed-time mark on the fake clock, and a timeline
// that puts list lines (M), replies (R) and log lines (L) in the order they happened.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/log_files.h"
#include "base/message_list.h"
#include "fake_ports.h"
#include "log_lines.h"
#include "remote/elapsed_timer.h"
#include "remote/remote_transport.h"
#include "remote/tcp_server.h"
#include "temp_dir.h"

namespace vantu::testing {

class RecordingTransport : public RemoteTransport {
  public:
    ListenResult Listen() override;
    void AcceptPending() override;
    SendResult SendToClient(std::string_view bytes) override;
    SendResult GatherReplies(bool) override { return SendResult::kSent; }
    void HoldReading(bool hold) override { reading_held = hold; }
    void CloseClient() override;
    void CloseListener() override { Call("CloseListener"); }

    // The bytes the client with this number received (clients count from 1).
    std::string ReceivedBy(int client) const;
    // The replies, without their CRs, that the client in the slot received since the last
    // call; each must end in its CR.
    std::vector<std::string> TakeReplies();

    ListenResult listen_result = ListenResult::kListening;
    // "Listen", "AcceptPending", "CloseClient", "CloseListener" in call order.
    std::vector<std::string> calls;
    // When set, the calls also go here: a timer journal, to see them in order with it.
    std::vector<std::string>* journal = nullptr;
    // The client in the slot; 0 when empty.
    int client = 0;
    int accepted = 0;
    std::vector<std::pair<int, std::string>> sent;
    std::function<void(std::string_view)> on_send;
    bool reading_held = false;

  private:
    void Call(const char* name);
    std::size_t taken_ = 0;
};

class ClockElapsed : public ElapsedTimer {
  public:
    explicit ClockElapsed(FakeClock& clock) : clock_(clock) {}
    void MarkElapsedStart() override { mark_ = clock_.micros; }
    double ElapsedMicroseconds() override { return static_cast<double>(clock_.micros - mark_); }

  private:
    FakeClock& clock_;
    std::int64_t mark_ = 0;
};

class Timeline {
  public:
    Timeline(const LogFiles& logs, MessageList& list, RecordingTransport& transport);

    // Everything since the last call, the latest log lines included.
    std::vector<std::string> Take();

    // Called after each list line and reply, to look at the state at that moment.
    std::function<void(const std::string& event)> on_event;

  private:
    void SyncLog();
    void Record(std::string event);

    const LogFiles& logs_;
    MessageList& list_;
    std::size_t log_lines_seen_ = 0;
    std::vector<std::string> events_;
};

// Answers every line with "OK:" and the line, then runs after_reply; an over-long line
// with NOT_SUPPORT.
struct EchoDispatch : CommandDispatch {
    void DispatchCommand(const std::string& line) override {
        lines.push_back(line);
        server->SendReply("OK:" + line);
        if (after_reply) {
            after_reply(line);
        }
    }
    void DispatchOverlongLine() override { server->AnswerNotSupported(); }
    CCServer* server = nullptr;
    std::vector<std::string> lines;
    std::function<void(const std::string&)> after_reply;
};

// What a server core needs beside its transport and itself: a station directory with
// today's log open, the message list, the flags and an echoing dispatcher.
struct ServerParts {
    ServerParts() {
        dir.MakeDir("Log");
        logs.OpenLog();
    }

    TempDir dir;
    FakeClock clock;
    LogFiles logs{dir.path(), clock};
    MessageList list;
    ControllerFlags flags;
    ClockElapsed elapsed{clock};
    EchoDispatch dispatch;
};

inline const std::string kM97 = "M " + std::string(kListSeparator);
inline const std::string kL26 = "L " + std::string(kLogSeparator);

}  // namespace vantu::testing
