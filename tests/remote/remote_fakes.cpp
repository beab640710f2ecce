#include "remote_fakes.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "base/encoding.h"

namespace vantu::testing {

ListenResult RecordingTransport::Listen() {
    calls.emplace_back("Listen");
    return listen_result;
}

void RecordingTransport::AcceptPending() {
    calls.emplace_back("AcceptPending");
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
    calls.emplace_back("CloseClient");
    client = 0;
}

void RecordingTransport::CloseListener() {
    calls.emplace_back("CloseListener");
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

std::vector<std::string> LogMessages(const LogFiles& logs) {
    std::ifstream file(logs.log_path(), std::ios::binary);
    const std::string text = FromAnsi(
        std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
    std::vector<std::string> messages;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        constexpr std::string_view kPrefix = "2026-12-5  19:46:12,";
        if (line.starts_with(kPrefix)) {
            messages.push_back(line.substr(kPrefix.size()));
        }
    }
    return messages;
}

Timeline::Timeline(const LogFiles& logs, MessageList& list, RecordingTransport& transport)
    : logs_(logs), list_(list), log_lines_seen_(LogMessages(logs).size()) {
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
    const std::vector<std::string> lines = LogMessages(logs_);
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
