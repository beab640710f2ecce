// The snapshot as OpenMetrics text (what Prometheus scrapes from /metrics) and as the
// JSON document of /status.json.
#pragma once

#include <string>
#include <string_view>

#include "metrics/station_snapshot.h"

namespace vantu {

inline constexpr std::string_view kOpenMetricsContentType =
    "application/openmetrics-text; version=1.0.0; charset=utf-8";

std::string RenderOpenMetrics(const StationSnapshot& snapshot);
std::string RenderStatusJson(const StationSnapshot& snapshot);

}  // namespace vantu
