#include "instruments/scpi_error_queue.h"

#include <charconv>

namespace vantu {
namespace {

constexpr int kMaxEntries = 32;

}  // namespace

std::optional<ScpiError> ParseScpiError(const std::string& answer) {
    const std::size_t start = answer.starts_with('+') ? 1 : 0;
    const char* end = answer.data() + answer.size();
    ScpiError error;
    const auto parsed = std::from_chars(answer.data() + start, end, error.code);
    if (parsed.ec != std::errc{} || parsed.ptr == end || *parsed.ptr != ',') {
        return std::nullopt;
    }
    error.message.assign(parsed.ptr + 1, end);
    if (error.message.size() >= 2 && error.message.front() == '"' && error.message.back() == '"') {
        error.message = error.message.substr(1, error.message.size() - 2);
    }
    return error;
}

QueueState DrainScpiErrors(ScpiConnection& connection, std::vector<ScpiError>& errors) {
    bool any = false;
    for (int entry = 0; entry < kMaxEntries; ++entry) {
        const auto answer = connection.Query(":SYST:ERR?");
        if (!answer) {
            return QueueState::kSilent;
        }
        std::optional<ScpiError> error = ParseScpiError(*answer);
        if (!error) {
            errors.push_back({kUnreadableError, "unreadable :SYST:ERR? answer " + *answer});
            return QueueState::kErrors;
        }
        if (error->code == 0) {
            return any ? QueueState::kErrors : QueueState::kEmpty;
        }
        errors.push_back(std::move(*error));
        any = true;
    }
    return QueueState::kSilent;
}

}  // namespace vantu
