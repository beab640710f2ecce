#include "metrics/request_limits.h"

#include <algorithm>

namespace vantu {

bool RequestRate::Admit(std::int64_t now_us) {
    if (last_us_ >= 0 && now_us > last_us_) {
        credit_us_ = std::min(kBurst * kCostUs, credit_us_ + (now_us - last_us_));
    }
    last_us_ = std::max(last_us_, now_us);
    if (credit_us_ < kCostUs) {
        return false;
    }
    credit_us_ -= kCostUs;
    return true;
}

bool ClientRates::Admit(const std::string& client, std::int64_t now_us) {
    if (rates_.size() >= kMaxClients && !rates_.contains(client)) {
        rates_.clear();
    }
    return rates_[client].Admit(now_us);
}

}  // namespace vantu
