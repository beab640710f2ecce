#include "instruments/scpi_error_queue.h"

#include "base/number_text.h"

namespace vantu {
namespace {

constexpr int kMaxEntries = 32;

}  // namespace

ScpiError ParseScpiError(const std::string& answer) {
    ScpiError error{ParseDecimal(answer), {}};
    const auto comma = answer.find(',');
    if (comma != std::string::npos) {
        error.message = answer.substr(comma + 1);
        if (error.message.size() >= 2 && error.message.front() == '"' &&
            error.message.back() == '"') {
            error.message = error.message.substr(1, error.message.size() - 2);
        }
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
        ScpiError error = ParseScpiError(*answer);
        if (error.code == 0) {
            return any ? QueueState::kErrors : QueueState::kEmpty;
        }
        errors.push_back(std::move(error));
        any = true;
    }
    return QueueState::kSilent;
}

}  // namespace vantu
