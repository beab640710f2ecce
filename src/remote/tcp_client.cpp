#include "remote/tcp_client.h"

#include <utility>

namespace vantu {

void CClient::Receive(std::string_view chunk) {
    for (char byte : chunk) {
        Take(byte);
    }
    if (!chunk.empty() && chunk.back() == kCr && !message_.empty()) {
        const std::string message = std::exchange(message_, std::string());
        sink_.ProcessReceivedText(message);
    }
}

void CClient::Reset() {
    message_.clear();
    discarding_ = false;
}

void CClient::Take(char byte) {
    if (discarding_) {
        if (byte == kCr) {
            discarding_ = false;
            sink_.ProcessOverlongLine();
        }
        return;
    }
    if (message_.size() == kMaxMessageBytes && !HandOnCompleteLines()) {
        message_.clear();
        if (byte == kCr) {
            sink_.ProcessOverlongLine();
        } else {
            discarding_ = true;
        }
        return;
    }
    message_ += byte;
}

bool CClient::HandOnCompleteLines() {
    const std::size_t last_cr = message_.rfind(kCr);
    if (last_cr == std::string::npos) {
        return false;
    }
    const std::string complete = message_.substr(0, last_cr + 1);
    message_.erase(0, last_cr + 1);
    sink_.ProcessReceivedText(complete);
    return true;
}

}  // namespace vantu
