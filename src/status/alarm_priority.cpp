#include "status/alarm_priority.h"

#include <array>

namespace vantu {

AlarmPriority PriorityOf(const FaultSource& source) {
    switch (source.kind) {
        case FaultKind::kHealth:
        case FaultKind::kInterface:
        case FaultKind::kSupply:
        case FaultKind::kInputPower:
            return AlarmPriority::kHigh;
        case FaultKind::kElement:
        case FaultKind::kTx:
        case FaultKind::kDigitalId:
            return AlarmPriority::kMedium;
        case FaultKind::kOverTemperature:
        case FaultKind::kQdxaTemperature:
            return AlarmPriority::kLow;
        case FaultKind::kQdxaFlag:
            // The QDX-A over-temperature flag is heat: low, like the other temperatures.
            return source.item == 1 ? AlarmPriority::kLow : AlarmPriority::kMedium;
    }
    return AlarmPriority::kMedium;
}

std::string_view PriorityText(AlarmPriority priority) {
    constexpr std::array<std::string_view, kAlarmPriorityCount> kTexts = {"高", "中", "低"};
    return kTexts[static_cast<std::size_t>(priority)];
}

std::string_view PriorityToken(AlarmPriority priority) {
    constexpr std::array<std::string_view, kAlarmPriorityCount> kTokens = {"high", "medium", "low"};
    return kTokens[static_cast<std::size_t>(priority)];
}

}  // namespace vantu
