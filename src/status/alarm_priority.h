// The priority of each kind of fault source, in one table: what threatens the whole
// antenna or its supplies comes first, a single element's state next, heat last.
#pragma once

#include <cstdint>
#include <string_view>

#include "status/fault_sources.h"

namespace vantu {

enum class AlarmPriority : std::uint8_t { kHigh, kMedium, kLow };
inline constexpr int kAlarmPriorityCount = 3;

AlarmPriority PriorityOf(const FaultSource& source);
// "高", "中", "低" for the window; "high", "medium", "low" for files and metrics.
std::string_view PriorityText(AlarmPriority priority);
std::string_view PriorityToken(AlarmPriority priority);

}  // namespace vantu
