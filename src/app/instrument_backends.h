// Chooses the generator and analyzer backends of a station. setup.ini's [VSG] and
// [VSA] RESOURCE ("TCPIP::<host>::<port>::SOCKET") name instruments on the LAN, with
// or without a simulated card; otherwise a simulated station has the simulated
// generator and the stand-in analyzer's local socket, and a real one has none.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "base/ports.h"
#include "instruments/analyzer_link.h"
#include "instruments/generator_driver.h"

namespace vantu {

struct InstrumentBackends {
    std::unique_ptr<GeneratorDriver> generator;
    std::unique_ptr<CCVSA8960> analyzer;
    // [VSA] RECALL_DIR; empty when not set.
    std::string recall_dir;
};

// A RESOURCE that is not a socket resource is reported on console and ignored.
InstrumentBackends MakeInstrumentBackends(const std::string& station_dir, bool simulate,
                                          Clock& clock, std::ostream& console);

}  // namespace vantu
