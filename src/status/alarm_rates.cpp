#include "status/alarm_rates.h"

#include <chrono>
#include <limits>

namespace vantu {
namespace {

constexpr std::int64_t kLongAgo = std::numeric_limits<std::int64_t>::min() / 2;

}  // namespace

std::int64_t SecondsOf(const LocalTime& t) {
    using namespace std::chrono;
    const sys_days day = year{t.year} / month{static_cast<unsigned>(t.month)} /
                         std::chrono::day{static_cast<unsigned>(t.day)};
    return day.time_since_epoch().count() * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second;
}

bool AlarmRates::Chatters(const Changes& changes, std::int64_t now) {
    return changes.front() > now - kChatterWindowS;
}

bool AlarmRates::Changed(std::size_t source, std::int64_t now) {
    auto [it, added] = changes_.try_emplace(source);
    Changes& changes = it->second;
    if (added) {
        changes.fill(kLongAgo);
    }
    for (std::size_t i = 0; i + 1 < changes.size(); ++i) {
        changes[i] = changes[i + 1];
    }
    changes.back() = now;
    return Chatters(changes, now);
}

void AlarmRates::Raised(std::int64_t now) {
    if (shift_start_ < 0) {
        shift_start_ = now;
    }
    ++shift_alarms_;
    raised_.push_back(now);
}

int AlarmRates::RecentAlarms(std::int64_t now) {
    while (!raised_.empty() && raised_.front() <= now - kFloodWindowS) {
        raised_.pop_front();
    }
    return static_cast<int>(raised_.size());
}

double AlarmRates::ShiftAlarmsPer10Minutes(std::int64_t now) const {
    if (shift_start_ < 0) {
        return 0.0;
    }
    const std::int64_t span = now - shift_start_;
    if (span < kFloodWindowS) {
        return static_cast<double>(shift_alarms_);
    }
    return static_cast<double>(shift_alarms_) * static_cast<double>(kFloodWindowS) /
           static_cast<double>(span);
}

int AlarmRates::ChatteringSources(std::int64_t now) {
    int chattering = 0;
    for (auto it = changes_.begin(); it != changes_.end();) {
        if (it->second.back() <= now - kChatterWindowS) {
            it = changes_.erase(it);
            continue;
        }
        chattering += Chatters(it->second, now) ? 1 : 0;
        ++it;
    }
    return chattering;
}

}  // namespace vantu
