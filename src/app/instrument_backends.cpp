#include "app/instrument_backends.h"

#include <optional>

#include "base/ini_file.h"
#include "base/settings.h"
#include "instruments/absent_instruments.h"
#include "instruments/scpi_analyzer.h"
#include "instruments/scpi_generator.h"
#include "sim/scpi_analyzer_server.h"
#include "sim/simulated_generator.h"

namespace vantu {
namespace {

std::optional<ScpiEndpoint> ConfiguredEndpoint(const IniFile& ini, const char* section,
                                               std::ostream& console) {
    const auto resource = ini.Get(section, "RESOURCE");
    if (!resource || resource->empty()) {
        return std::nullopt;
    }
    auto endpoint = ParseSocketResource(*resource);
    if (!endpoint) {
        console << "vantu: setup.ini [" << section << "] RESOURCE \"" << *resource
                << "\" is not TCPIP::<host>::<port>::SOCKET; ignored\n";
    }
    return endpoint;
}

// [VSA] COMMANDS: a file of the link's command texts, relative to the station directory.
AnalyzerCommandTable CommandTable(const IniFile& ini, const std::string& station_dir,
                                  std::ostream& console) {
    const auto file = ini.Get("VSA", "COMMANDS");
    if (!file || file->empty()) {
        return {};
    }
    return AnalyzerCommandTable::Load(file->starts_with('/') ? *file : station_dir + "/" + *file,
                                      console);
}

}  // namespace

InstrumentBackends MakeInstrumentBackends(const std::string& station_dir, bool simulate,
                                          Clock& clock, std::ostream& console) {
    const IniFile ini = IniFile::Load(SettingsPath(station_dir));
    InstrumentBackends backends;
    if (auto generator = ConfiguredEndpoint(ini, "VSG", console)) {
        backends.generator = std::make_unique<ScpiGenerator>(std::move(*generator));
    } else if (simulate) {
        backends.generator = std::make_unique<SimulatedGenerator>(clock);
    } else {
        backends.generator = std::make_unique<AbsentGenerator>();
    }
    if (auto analyzer = ConfiguredEndpoint(ini, "VSA", console)) {
        backends.analyzer = std::make_unique<ScpiAnalyzer>(std::move(*analyzer),
                                                           CommandTable(ini, station_dir, console));
    } else if (simulate) {
        backends.analyzer =
            std::make_unique<ScpiAnalyzer>(ScpiEndpoint{{}, 0, station_dir + "/" + kStandInSocket});
    } else {
        backends.analyzer = std::make_unique<AbsentAnalyzer>();
    }
    backends.recall_dir = ini.Get("VSA", "RECALL_DIR").value_or("");
    return backends;
}

}  // namespace vantu
