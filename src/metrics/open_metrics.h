// The snapshot as metrics text for /metrics, in the Prometheus text format 0.0.4 or in
// OpenMetrics, and as the JSON document of /status.json.
#pragma once

#include <string>
#include <string_view>

#include "metrics/station_snapshot.h"

namespace vantu {

inline constexpr std::string_view kOpenMetricsContentType =
    "application/openmetrics-text; version=1.0.0; charset=utf-8";
inline constexpr std::string_view kTextFormatContentType =
    "text/plain; version=0.0.4; charset=utf-8";

enum class MetricsFormat { kText, kOpenMetrics };

std::string RenderMetrics(const StationSnapshot& snapshot, MetricsFormat format);
std::string RenderStatusJson(const StationSnapshot& snapshot);

}  // namespace vantu
