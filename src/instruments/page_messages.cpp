#include "instruments/page_messages.h"

namespace vantu {

void PageMessages::Add(std::string_view text, bool separator) {
    list_.Add(text);
    list_.Trim();
    if (separator) {
        list_.Add(kListSeparator);
    }
}

void PageMessages::Report(std::string_view text) {
    Add(text, true);
    logs_.AppendLog(text);
    logs_.AppendLog(kLogSeparator);
}

}  // namespace vantu
