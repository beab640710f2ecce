#include "gui/metrics_server.h"

#include <QHostAddress>

#include <cstdio>

#include "metrics/open_metrics.h"

namespace vantu {
namespace {

qsizetype RequestBytes(const QHttpServerRequest& request) {
    qsizetype bytes = request.url().toEncoded().size() + request.body().size();
    for (const auto& [name, value] : request.headers()) {
        bytes += name.size() + value.size() + 4;
    }
    return bytes;
}

}  // namespace

MetricsServer::MetricsServer(SnapshotSource snapshot, Clock& clock)
    : snapshot_(std::move(snapshot)), clock_(clock) {
    server_.route("/metrics", QHttpServerRequest::Method::Get,
                  [this](const QHttpServerRequest& request) {
                      return Serve(request, kOpenMetricsContentType.data(), RenderOpenMetrics);
                  });
    server_.route("/status.json", QHttpServerRequest::Method::Get,
                  [this](const QHttpServerRequest& request) {
                      return Serve(request, "application/json", RenderStatusJson);
                  });
}

bool MetricsServer::Listen(const MetricsEndpoint& endpoint) {
    const QHostAddress address(QString::fromStdString(endpoint.address));
    if (address.isNull() ||
        server_.listen(address, static_cast<quint16>(endpoint.port)) != endpoint.port) {
        std::fprintf(stderr, "vantu: metrics cannot listen on %s port %d\n",
                     endpoint.address.c_str(), endpoint.port);
        return false;
    }
    std::fprintf(stderr, "vantu: metrics on http://%s:%d/metrics\n", endpoint.address.c_str(),
                 endpoint.port);
    return true;
}

std::optional<QHttpServerResponse> MetricsServer::Refusal(const QHttpServerRequest& request) {
    if (RequestBytes(request) > static_cast<qsizetype>(kMaxMetricsRequestBytes)) {
        return QHttpServerResponse(QHttpServerResponder::StatusCode::PayloadTooLarge);
    }
    if (!rate_.Admit(clock_.Microseconds())) {
        return QHttpServerResponse(QHttpServerResponder::StatusCode::TooManyRequests);
    }
    return std::nullopt;
}

QHttpServerResponse MetricsServer::Serve(const QHttpServerRequest& request,
                                         const char* content_type,
                                         std::string (*render)(const StationSnapshot&)) {
    if (std::optional<QHttpServerResponse> refusal = Refusal(request)) {
        return std::move(*refusal);
    }
    const std::string body = render(snapshot_());
    return QHttpServerResponse(QByteArray(content_type),
                               QByteArray(body.data(), static_cast<qsizetype>(body.size())));
}

}  // namespace vantu
