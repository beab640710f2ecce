#include "instruments/scpi_analyzer.h"

#include <algorithm>

#include "base/number_text.h"
#include "instruments/decimal_text.h"
#include "instruments/printf_text.h"
#include "instruments/scpi_error_queue.h"
#include "instruments/simulated_analyzer.h"

namespace vantu {

bool ScpiAnalyzer::Linked() {
    return connection_.connected() || connection_.Connect(kConnectTimeoutMs);
}

std::optional<std::string> ScpiAnalyzer::Ask(const std::string& query) {
    if (!Linked()) {
        return std::nullopt;
    }
    return connection_.Query(query);
}

int ScpiAnalyzer::Setting(const std::string& command) {
    if (!Linked() || !connection_.Write(command)) {
        return kLinkNotOpen;
    }
    std::vector<ScpiError> errors;
    switch (DrainScpiErrors(connection_, errors)) {
        case QueueState::kEmpty:
            return kLinkDone;
        case QueueState::kErrors:
            return kLinkUnitRefused;
        case QueueState::kSilent:
            break;
    }
    connection_.Close();
    return kLinkNotOpen;
}

int ScpiAnalyzer::Frequency(const char* command, double value, const std::string& unit, bool span) {
    std::lock_guard lock(mutex_);
    const auto scale = FrequencyUnit(unit, span);
    if (!Linked()) {
        return kLinkNotOpen;
    }
    if (!scale) {
        return kLinkUnitRefused;
    }
    return Setting(PrintfText("%s %.6f", command, value * *scale));
}

int ScpiAnalyzer::SetMarker_Type1(int trace, int, double value, const std::string& unit) {
    if (trace < 0 || trace >= static_cast<int>(kMaxMarkers)) {
        return kLinkUnitRefused;
    }
    return Frequency(PrintfText(":CALC:MARK%d:X", trace + 1).c_str(), value, unit, false);
}

int ScpiAnalyzer::SetFreqCenter(double value, const std::string& unit) {
    return Frequency(":FREQ:CENT", value, unit, false);
}

int ScpiAnalyzer::SetFreqSPan(double value, const std::string& unit) {
    return Frequency(":FREQ:SPAN", value, unit, true);
}

int ScpiAnalyzer::SetRecall(const std::string& path) {
    std::lock_guard lock(mutex_);
    // A quote would end the file name early: such a name is refused, not sent.
    if (path.find('"') != std::string::npos) {
        return kLinkUnitRefused;
    }
    return Setting(":MMEM:LOAD:STAT \"" + path + "\"");
}

int ScpiAnalyzer::TraceCount() {
    const auto answer = Ask(":CALC:MARK:COUN?");
    return answer ? std::clamp(ParseDecimal(*answer), 0, static_cast<int>(kMaxMarkers)) : 0;
}

int ScpiAnalyzer::GetTraceCount() {
    std::lock_guard lock(mutex_);
    return TraceCount();
}

int ScpiAnalyzer::GetMeasValue(MarkerArray& markers) {
    std::lock_guard lock(mutex_);
    if (!Linked()) {
        return kLinkNotOpen;
    }
    const int count = TraceCount();
    for (int trace = 0; trace < count; ++trace) {
        const auto value = Ask(PrintfText(":CALC:MARK%d:Y?", trace + 1));
        const auto label = Ask(PrintfText(":CALC:MARK%d:Y:UNIT?", trace + 1));
        if (!value || !label) {
            return kLinkNotOpen;
        }
        marker& record = markers[static_cast<std::size_t>(trace)];
        record.value = ParseLeadingDouble(*value);
        record.label = label->substr(0, kMarkerLabelSize - 1);
    }
    return kLinkDone;
}

std::string ScpiAnalyzer::GetLogFile() {
    std::lock_guard lock(mutex_);
    return Ask(":MMEM:LOG:NAME?").value_or("");
}

int ScpiAnalyzer::GetInputTrigMod() {
    std::lock_guard lock(mutex_);
    const auto answer = Ask(":TRIG:SOUR?");
    if (!answer) {
        return kLinkNotOpen;
    }
    return answer->starts_with("EXT") ? kTriggerExternal : 0;
}

void ScpiAnalyzer::SetTrigMeas(int on) {
    std::lock_guard lock(mutex_);
    Setting(on != 0 ? ":INIT:CONT ON" : ":INIT:CONT OFF");
}

int ScpiAnalyzer::GetTrigMeasValue() {
    std::lock_guard lock(mutex_);
    const auto answer = Ask(":TRIG:PULS?");
    if (!answer) {
        return kLinkNotOpen;
    }
    return ParseDecimal(*answer) == 1 ? kLinkDone : kNotPulseTriggered;
}

int ScpiAnalyzer::SetMeasType(int type) {
    std::lock_guard lock(mutex_);
    return Setting(PrintfText(":CONF:TYPE %d", type));
}

int ScpiAnalyzer::SetmMeasReset() {
    std::lock_guard lock(mutex_);
    return Setting(":SYST:PRES");
}

}  // namespace vantu
