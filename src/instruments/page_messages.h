// The signal-analyzer page's message list (the TCP message list) and its log lines.
#pragma once

#include <string_view>

#include "base/log_files.h"
#include "base/message_list.h"

namespace vantu {

class PageMessages {
  public:
    PageMessages(MessageList& list, LogFiles& logs) : list_(list), logs_(logs) {}

    // Adds text, trims the list, then the 97-hyphen line when separator is set.
    void Add(std::string_view text, bool separator = false);
    void Log(std::string_view text) { logs_.AppendLog(text); }
    // The list line with its separator, the log line and the 26-hyphen line.
    void Report(std::string_view text);
    void Trim() { list_.Trim(); }

    MessageList& list() { return list_; }
    LogFiles& logs() { return logs_; }

  private:
    MessageList& list_;
    LogFiles& logs_;
};

}  // namespace vantu
