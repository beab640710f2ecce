// What the endpoint answers: its two documents and the bytes of a whole response.
// Bodies come from the renderers alone, apart from how the request was read.
#pragma once

#include <string>
#include <string_view>

#include "metrics/http_request.h"
#include "metrics/station_snapshot.h"

namespace vantu {

struct MetricsBody {
    std::string_view content_type;
    std::string bytes;
};

struct MetricsDocument {
    std::string_view path;
    // /metrics in the format the request's Accept header asks for.
    MetricsBody (*render)(const StationSnapshot&, const HttpRequest&);
};

// The document a request target names (a query is ignored); nullptr for none.
const MetricsDocument* FindMetricsDocument(std::string_view target);

// Status line, Content-Type (when there is a body type), Content-Encoding (when given),
// Content-Length and "Connection: close", then the body unless head_only: one response
// per connection.
std::string HttpResponse(int status, std::string_view content_type, std::string_view body,
                         bool head_only = false, std::string_view content_encoding = {});

}  // namespace vantu
