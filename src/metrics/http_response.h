// What the endpoint answers: its two documents and the bytes of a whole response.
// Bodies come from the renderers alone, apart from how the request was read.
#pragma once

#include <string>
#include <string_view>

#include "metrics/station_snapshot.h"

namespace vantu {

struct MetricsDocument {
    std::string_view path;
    std::string_view content_type;
    std::string (*render)(const StationSnapshot&);
};

// The document a request target names (a query is ignored); nullptr for none.
const MetricsDocument* FindMetricsDocument(std::string_view target);

// Status line, Content-Type (when there is a body type), Content-Length and
// "Connection: close", then the body unless head_only: one response per connection.
std::string HttpResponse(int status, std::string_view content_type, std::string_view body,
                         bool head_only = false);

}  // namespace vantu
