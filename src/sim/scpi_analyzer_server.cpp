#include "sim/scpi_analyzer_server.h"

#include "base/number_text.h"
#include "instruments/decimal_text.h"
#include "instruments/printf_text.h"

namespace vantu {
namespace {

constexpr std::size_t kMaxQueued = 16;

}  // namespace

void ScpiAnalyzerServer::Refused(int status, std::int32_t code, const char* message) {
    if (status != kLinkDone && errors_.size() < kMaxQueued) {
        errors_.push_back({code, message});
    }
}

std::string ScpiAnalyzerServer::NextError() {
    if (errors_.empty()) {
        return "0,\"No error\"";
    }
    const ScpiError error = errors_.front();
    errors_.pop_front();
    return PrintfText("%d,\"%s\"", error.code, error.message.c_str());
}

std::optional<std::string> ScpiAnalyzerServer::Handle(const std::string& line) {
    const auto space = line.find(' ');
    const std::string header = line.substr(0, space);
    const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
    if (header == "*IDN?") {
        return "VANTU,vantu-vsa-sim,0,1.0";
    }
    if (header == ":SYST:ERR?") {
        return NextError();
    }
    if (header.starts_with(":CALC:MARK")) {
        return Marker(header, argument);
    }
    if (header == ":FREQ:CENT") {
        Refused(analyzer_.SetFreqCenter(ParseLeadingDouble(argument), "Hz"), -222,
                "Data out of range");
    } else if (header == ":FREQ:SPAN") {
        Refused(analyzer_.SetFreqSPan(ParseLeadingDouble(argument), "Hz"), -222,
                "Data out of range");
    } else if (header == ":MMEM:LOAD:STAT") {
        const std::string path =
            argument.size() >= 2 ? argument.substr(1, argument.size() - 2) : argument;
        Refused(analyzer_.SetRecall(path), -256, "File name not found");
    } else if (header == ":MMEM:LOG:NAME?") {
        return analyzer_.GetLogFile();
    } else if (header == ":TRIG:SOUR?") {
        return analyzer_.GetInputTrigMod() == kTriggerExternal ? "EXT" : "IMM";
    } else if (header == ":TRIG:PULS?") {
        return analyzer_.GetTrigMeasValue() == kLinkDone ? "1" : "0";
    } else if (header == ":INIT:CONT") {
        analyzer_.SetTrigMeas(argument == "ON" ? 1 : 0);
    } else if (header == ":CONF:TYPE") {
        Refused(analyzer_.SetMeasType(ParseDecimal(argument)), -224, "Illegal parameter value");
    } else if (header == ":SYST:PRES") {
        Refused(analyzer_.SetmMeasReset(), -200, "Execution error");
    } else {
        Refused(1, -113, "Undefined header");
    }
    return std::nullopt;
}

// ":CALC:MARK:COUN?", ":CALC:MARK<n>:X <Hz>", ":CALC:MARK<n>:Y?", ":CALC:MARK<n>:Y:UNIT?".
std::optional<std::string> ScpiAnalyzerServer::Marker(const std::string& header,
                                                      const std::string& argument) {
    if (header == ":CALC:MARK:COUN?") {
        return std::to_string(analyzer_.GetTraceCount());
    }
    const std::string rest = header.substr(std::string_view(":CALC:MARK").size());
    const int n = ParseDecimal(rest);
    const auto colon = rest.find(':');
    const std::string field = colon == std::string::npos ? "" : rest.substr(colon);
    if (n < 1 || n > static_cast<int>(kMaxMarkers)) {
        Refused(1, -114, "Header suffix out of range");
        return std::nullopt;
    }
    if (field == ":X") {
        Refused(analyzer_.SetMarker_Type1(n - 1, 0, ParseLeadingDouble(argument), "Hz"), -222,
                "Data out of range");
        return std::nullopt;
    }
    if (field == ":Y?" || field == ":Y:UNIT?") {
        MarkerArray markers{};
        analyzer_.GetMeasValue(markers);
        const marker& record = markers[static_cast<std::size_t>(n - 1)];
        return field == ":Y?" ? PrintfText("%.6f", record.value) : record.label;
    }
    Refused(1, -113, "Undefined header");
    return std::nullopt;
}

}  // namespace vantu
