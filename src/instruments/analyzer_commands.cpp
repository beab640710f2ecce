#include "instruments/analyzer_commands.h"

#include <optional>
#include <sstream>

#include "base/file_bytes.h"
#include "instruments/printf_text.h"

namespace vantu {
namespace {

struct Entry {
    LinkCall call;
    std::string_view name;
    std::string_view text;
};

constexpr std::array<Entry, static_cast<std::size_t>(LinkCall::kCount)> kDefaults = {{
    {LinkCall::kMarkerFrequency, "SetMarker_Type1", ":CALC:MARK{trace}:X {hz}"},
    {LinkCall::kCenter, "SetFreqCenter", ":FREQ:CENT {hz}"},
    {LinkCall::kSpan, "SetFreqSPan", ":FREQ:SPAN {hz}"},
    {LinkCall::kRecall, "SetRecall", ":MMEM:LOAD:STAT \"{path}\""},
    {LinkCall::kTraceCount, "GetTraceCount", ":CALC:MARK:COUN?"},
    {LinkCall::kMarkerValue, "GetMeasValue", ":CALC:MARK{trace}:Y?"},
    {LinkCall::kMarkerUnit, "GetMeasValue.unit", ":CALC:MARK{trace}:Y:UNIT?"},
    {LinkCall::kLogFile, "GetLogFile", ":MMEM:LOG:NAME?"},
    {LinkCall::kTriggerSource, "GetInputTrigMod", ":TRIG:SOUR?"},
    {LinkCall::kPulseTrigger, "GetTrigMeasValue", ":TRIG:PULS?"},
    {LinkCall::kMeasureOn, "SetTrigMeas.on", ":INIT:CONT ON"},
    {LinkCall::kMeasureOff, "SetTrigMeas.off", ":INIT:CONT OFF"},
    {LinkCall::kMeasType, "SetMeasType", ":CONF:TYPE {type}"},
    {LinkCall::kReset, "SetmMeasReset", ":SYST:PRES"},
}};

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::optional<LinkCall> CallNamed(std::string_view name) {
    for (const Entry& entry : kDefaults) {
        if (entry.name == name) {
            return entry.call;
        }
    }
    return std::nullopt;
}

// The value of one placeholder (the text between the braces); none for an unknown one,
// which stays as written.
std::optional<std::string> Placeholder(std::string_view name, int number, double hz,
                                       std::string_view path) {
    if (name == "trace" || name == "type") {
        return std::to_string(number);
    }
    if (name == "path") {
        return std::string(path);
    }
    if (name == "hz") {
        return PrintfText("%.6f", hz);
    }
    if (name.size() == 4 && name.starts_with("hz:") && name[3] >= '0' && name[3] <= '9') {
        return PrintfText("%.*f", name[3] - '0', hz);
    }
    return std::nullopt;
}

}  // namespace

std::string_view LinkCallName(LinkCall call) {
    return kDefaults[static_cast<std::size_t>(call)].name;
}

AnalyzerCommandTable::AnalyzerCommandTable() {
    for (const Entry& entry : kDefaults) {
        texts_[static_cast<std::size_t>(entry.call)] = entry.text;
    }
}

AnalyzerCommandTable AnalyzerCommandTable::Load(const std::string& path, std::ostream& console) {
    AnalyzerCommandTable table;
    std::string error;
    const auto bytes = ReadFileBytes(path, error);
    if (!bytes) {
        console << "vantu: analyzer commands " << path << ": " << error << "; defaults used\n";
        return table;
    }
    std::istringstream lines(*bytes);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        const std::string_view text = Trim(line);
        if (text.empty() || text.starts_with('#')) {
            continue;
        }
        const auto equals = text.find('=');
        const auto call = equals == std::string_view::npos
                              ? std::nullopt
                              : CallNamed(Trim(text.substr(0, equals)));
        if (!call) {
            console << "vantu: analyzer commands " << path << ":" << number
                    << ": not \"<call> = <text>\" with a known call; ignored\n";
            continue;
        }
        table.texts_[static_cast<std::size_t>(*call)] = Trim(text.substr(equals + 1));
    }
    return table;
}

std::string AnalyzerCommandTable::Text(LinkCall call, int number, double hz,
                                       std::string_view path) const {
    const std::string& text = texts_[static_cast<std::size_t>(call)];
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
        const auto open = text.find('{', at);
        const auto close = open == std::string::npos ? open : text.find('}', open);
        if (close == std::string::npos) {
            result.append(text, at);
            break;
        }
        result.append(text, at, open - at);
        const auto value = Placeholder(std::string_view(text).substr(open + 1, close - open - 1),
                                       number, hz, path);
        result += value ? *value : text.substr(open, close - open + 1);
        at = close + 1;
    }
    return result;
}

}  // namespace vantu
