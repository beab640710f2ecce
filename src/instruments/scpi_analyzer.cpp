#include "instruments/scpi_analyzer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "base/number_text.h"
#include "instruments/decimal_text.h"
#include "instruments/frequency_argument.h"
#include "instruments/scpi_error_queue.h"

namespace vantu {
namespace {

// A count answer is a whole non-negative number (NR1, or NR3 as "+2.0E+00") and
// nothing else: an answer that belongs to another query is no count. Counts beyond the
// marker table are cut to it.
std::optional<int> ParseCount(std::string_view answer) {
    const auto first = answer.find_first_not_of(" +");
    const auto last = answer.find_last_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    double count = 0.0;
    const char* end = answer.data() + last + 1;
    const auto parsed = std::from_chars(answer.data() + first, end, count);
    if (parsed.ec != std::errc{} || parsed.ptr != end || !std::isfinite(count) || count < 0.0 ||
        count != std::floor(count)) {
        return std::nullopt;
    }
    return static_cast<int>(std::min(count, 1.0 * kMaxMarkers));
}

}  // namespace

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

int ScpiAnalyzer::Frequency(LinkCall call, int trace, double value, const std::string& unit,
                            bool span) {
    std::lock_guard lock(mutex_);
    const auto scale = FrequencyUnit(unit, span);
    if (!Linked()) {
        return kLinkNotOpen;
    }
    if (!scale) {
        return kLinkUnitRefused;
    }
    return Setting(commands_.Text(call, trace, value * *scale));
}

int ScpiAnalyzer::SetMarker_Type1(int trace, int, double value, const std::string& unit) {
    if (trace < 0 || trace >= static_cast<int>(kMaxMarkers)) {
        return kLinkUnitRefused;
    }
    return Frequency(LinkCall::kMarkerFrequency, trace + 1, value, unit, false);
}

int ScpiAnalyzer::SetFreqCenter(double value, const std::string& unit) {
    return Frequency(LinkCall::kCenter, 0, value, unit, false);
}

int ScpiAnalyzer::SetFreqSPan(double value, const std::string& unit) {
    return Frequency(LinkCall::kSpan, 0, value, unit, true);
}

int ScpiAnalyzer::SetRecall(const std::string& path) {
    std::lock_guard lock(mutex_);
    // A quote would end the file name early: such a name is refused, not sent.
    if (path.find('"') != std::string::npos) {
        return kLinkUnitRefused;
    }
    return Setting(commands_.Text(LinkCall::kRecall, 0, 0.0, path));
}

int ScpiAnalyzer::TraceCount() {
    const auto answer = Ask(commands_.Text(LinkCall::kTraceCount));
    const auto count = answer ? ParseCount(*answer) : std::nullopt;
    return count.value_or(kTraceCountFailed);
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
    if (count == kTraceCountFailed) {
        return kLinkNotOpen;
    }
    for (int trace = 0; trace < count; ++trace) {
        const auto value = Ask(commands_.Text(LinkCall::kMarkerValue, trace + 1));
        const auto label = Ask(commands_.Text(LinkCall::kMarkerUnit, trace + 1));
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
    return Ask(commands_.Text(LinkCall::kLogFile)).value_or("");
}

int ScpiAnalyzer::GetInputTrigMod() {
    std::lock_guard lock(mutex_);
    const auto answer = Ask(commands_.Text(LinkCall::kTriggerSource));
    if (!answer) {
        return kLinkNotOpen;
    }
    return answer->starts_with("EXT") ? kTriggerExternal : 0;
}

void ScpiAnalyzer::SetTrigMeas(int on) {
    std::lock_guard lock(mutex_);
    Setting(commands_.Text(on != 0 ? LinkCall::kMeasureOn : LinkCall::kMeasureOff));
}

int ScpiAnalyzer::GetTrigMeasValue() {
    std::lock_guard lock(mutex_);
    const auto answer = Ask(commands_.Text(LinkCall::kPulseTrigger));
    if (!answer) {
        return kLinkNotOpen;
    }
    return ParseDecimal(*answer) == 1 ? kLinkDone : kNotPulseTriggered;
}

int ScpiAnalyzer::SetMeasType(int type) {
    std::lock_guard lock(mutex_);
    return Setting(commands_.Text(LinkCall::kMeasType, type));
}

int ScpiAnalyzer::SetmMeasReset() {
    std::lock_guard lock(mutex_);
    return Setting(commands_.Text(LinkCall::kReset));
}

}  // namespace vantu
