#include "base/message_list.h"

namespace vantu {

void MessageList::Add(std::string_view line) {
    lines_.emplace_back(line);
    Changed();
}

void MessageList::Trim() {
    if (lines_.size() > kTrimAbove) {
        Clear();
    }
}

void MessageList::Clear() {
    lines_.clear();
    Changed();
}

void MessageList::Changed() {
    if (on_change_) {
        on_change_();
    }
}

}  // namespace vantu
