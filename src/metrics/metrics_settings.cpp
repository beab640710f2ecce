#include "metrics/metrics_settings.h"

#include <charconv>

namespace vantu {

std::optional<MetricsEndpoint> ReadMetricsEndpoint(const IniFile& ini, std::string& error) {
    const std::optional<std::string> port = ini.Get("METRICS", "PORT");
    if (!port) {
        return std::nullopt;
    }
    MetricsEndpoint endpoint;
    const char* end = port->data() + port->size();
    const auto [stop, failure] = std::from_chars(port->data(), end, endpoint.port);
    if (failure != std::errc() || stop != end || endpoint.port < 1 || endpoint.port > 65535) {
        error = "[METRICS] PORT is not a port number 1-65535: \"" + *port + "\"";
        return std::nullopt;
    }
    if (const std::optional<std::string> address = ini.Get("METRICS", "ADDRESS");
        address && !address->empty()) {
        endpoint.address = *address;
    }
    return endpoint;
}

}  // namespace vantu
