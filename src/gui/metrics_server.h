// The read-only endpoint for monitoring systems on Qt HTTP Server: GET /metrics
// (OpenMetrics) and GET /status.json, both from a snapshot of the controller's models.
// Nothing else is routed, so nothing here can act on the station.
#pragma once

#include <QHttpServer>

#include <functional>
#include <optional>

#include "base/ports.h"
#include "metrics/metrics_settings.h"
#include "metrics/request_limits.h"
#include "metrics/station_snapshot.h"

namespace vantu {

class MetricsServer {
  public:
    using SnapshotSource = std::function<StationSnapshot()>;

    MetricsServer(SnapshotSource snapshot, Clock& clock);

    // False, with one line on standard error, when the address cannot be served.
    bool Listen(const MetricsEndpoint& endpoint);

  private:
    // 413 for a request over the size bound, 429 past the rate; nothing to serve it.
    std::optional<QHttpServerResponse> Refusal(const QHttpServerRequest& request);
    QHttpServerResponse Serve(const QHttpServerRequest& request, const char* content_type,
                              std::string (*render)(const StationSnapshot&));

    QHttpServer server_;
    SnapshotSource snapshot_;
    Clock& clock_;
    RequestRate rate_;
};

}  // namespace vantu
