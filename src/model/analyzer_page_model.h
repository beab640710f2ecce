// The signal-analyzer page as the core sees it: the TCP message list that shows
// remote traffic and device events, and the controls other subsystems fill.
#pragma once

#include "base/message_list.h"

namespace vantu {

struct AnalyzerPageModel {
    MessageList tcp_messages;
};

}  // namespace vantu
