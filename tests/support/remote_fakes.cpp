#include "remote_fakes.h"

#include <gtest/gtest.h>

namespace vantu::testing {

ListenResult RecordingTransport::Listen() {
    Call("Listen");
    return listen_result;
}

void RecordingTransport::AcceptPending() {
    Call("AcceptPending");
    client = ++accepted;
}

SendResult RecordingTransport::SendToClient(std::string_view bytes) {
    if (on_send) {
        on_send(bytes);
    }
    if (client == 0) {
        return SendResult::kLost;
    }
    sent.emplace_back(client, std::string(bytes));
    return SendResult::kSent;
}

void RecordingTransport::CloseClient() {
    Call("CloseClient");
    client = 0;
}

void RecordingTransport::Call(const char* name) {
    calls.emplace_back(name);
    if (journal != nullptr) {
        journal->emplace_back(name);
    }
}

std::string RecordingTransport::ReceivedBy(int number) const {
    std::string bytes;
    for (const auto& [to, data] : sent) {
        if (to == number) {
            bytes += data;
        }
    }
    return bytes;
}

std::vector<std::string> RecordingTransport::TakeReplies() {
    std::string bytes;
    for (; taken_ < sent.size(); ++taken_) {
        if (sent[taken_].first == client) {
            bytes += sent[taken_].second;
        }
    }
    EXPECT_TRUE(bytes.empty() || bytes.back() == '\r') << "a reply without its CR";
    std::vector<std::string> replies;
    for (std::size_t end; (end = bytes.find('\r')) != std::string::npos;) {
        replies.push_back(bytes.substr(0, end));
        bytes.erase(0, end + 1);
    }
    return replies;
}

Timeline::Timeline(const LogFiles& logs, MessageList& list, RecordingTransport& transport)
    : logs_(logs), list_(list), log_lines_seen_(LogMessages(logs.log_path()).size()) {
    list_.set_on_change(
        [this] { Record(list_.lines().empty() ? "M <cleared>" : "M " + list_.lines().back()); });
    transport.on_send = [this](std::string_view bytes) { Record("R " + std::string(bytes)); };
}

void Timeline::Record(std::string event) {
    SyncLog();
    events_.push_back(event);
    if (on_event) {
        on_event(event);
    }
}

void Timeline::SyncLog() {
    const std::vector<std::string> lines = LogMessages(logs_.log_path());
    for (std::size_t i = log_lines_seen_; i < lines.size(); ++i) {
        events_.push_back("L " + lines[i]);
    }
    log_lines_seen_ = lines.size();
}

std::vector<std::string> Timeline::Take() {
    SyncLog();
    return std::exchange(events_, {});
}

}  // namespace vantu::testing
