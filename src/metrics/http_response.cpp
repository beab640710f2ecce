#include "metrics/http_response.h"

#include "metrics/content_negotiation.h"
#include "metrics/open_metrics.h"

namespace vantu {
namespace {

// The text format 0.0.4 unless OpenMetrics is asked for: promtool and older scrapers
// read only the former, Prometheus asks for the latter.
MetricsBody Metrics(const StationSnapshot& snapshot, const HttpRequest& request) {
    if (HeaderAccepts(request.Header("accept"), "application/openmetrics-text")) {
        return {kOpenMetricsContentType, RenderMetrics(snapshot, MetricsFormat::kOpenMetrics)};
    }
    return {kTextFormatContentType, RenderMetrics(snapshot, MetricsFormat::kText)};
}

MetricsBody Status(const StationSnapshot& snapshot, const HttpRequest&) {
    return {"application/json", RenderStatusJson(snapshot)};
}

constexpr MetricsDocument kDocuments[] = {
    {"/metrics", Metrics},
    {"/status.json", Status},
};

std::string_view Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 413:
            return "Payload Too Large";
        case 429:
            return "Too Many Requests";
        case 431:
            return "Request Header Fields Too Large";
        default:
            return "Service Unavailable";
    }
}

}  // namespace

const MetricsDocument* FindMetricsDocument(std::string_view target) {
    const std::string_view path = target.substr(0, target.find('?'));
    for (const MetricsDocument& document : kDocuments) {
        if (document.path == path) {
            return &document;
        }
    }
    return nullptr;
}

std::string HttpResponse(int status, std::string_view content_type, std::string_view body,
                         bool head_only, std::string_view content_encoding) {
    std::string response = "HTTP/1.1 " + std::to_string(status) + " ";
    response += Reason(status);
    response += "\r\n";
    if (!content_type.empty()) {
        response += "Content-Type: ";
        response += content_type;
        response += "\r\n";
    }
    if (!content_encoding.empty()) {
        response += "Content-Encoding: ";
        response += content_encoding;
        response += "\r\n";
    }
    response += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    if (!head_only) {
        response += body;
    }
    return response;
}

}  // namespace vantu
