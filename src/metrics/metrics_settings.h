// Where the metrics endpoint listens: setup.ini's [METRICS] PORT and ADDRESS.
#pragma once

#include <optional>
#include <string>

#include "base/ini_file.h"

namespace vantu {

struct MetricsEndpoint {
    std::string address = "127.0.0.1";  // loopback unless ADDRESS says otherwise
    int port = 0;
};

// Nothing without PORT: the endpoint is off. A PORT that is not 1..65535 also gives
// nothing, with the reason in `error`.
std::optional<MetricsEndpoint> ReadMetricsEndpoint(const IniFile& ini, std::string& error);

}  // namespace vantu
