#include "sim/simulated_analyzer.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "instruments/decimal_text.h"
#include "instruments/frequency_argument.h"
#include "instruments/printf_text.h"

namespace vantu {
namespace {

constexpr double kNoiseFloorDbm = -90.0;
constexpr double kCarrierWidthHz = 2e6;
constexpr const char* kLogFileName = "vsa_measure.log";

}  // namespace

SimulatedAnalyzer::SimulatedAnalyzer(std::string log_dir)
    : log_dir_(std::move(log_dir)), view_{2.4e9, 100e6, 2, {}, true, true, false, 2.4e9, -20.0} {
    view_.marker_hz.fill(2.4e9);
}

int SimulatedAnalyzer::SetMarker_Type1(int trace, int, double value, const std::string& unit) {
    const auto scale = FrequencyUnit(unit, false);
    std::lock_guard lock(mutex_);
    if (!scale || trace < 0 || trace >= kMaxTraces) {
        return kLinkUnitRefused;
    }
    view_.marker_hz[static_cast<std::size_t>(trace)] = value * *scale;
    return kLinkDone;
}

int SimulatedAnalyzer::SetFreqCenter(double value, const std::string& unit) {
    const auto scale = FrequencyUnit(unit, false);
    std::lock_guard lock(mutex_);
    if (!scale) {
        return kLinkUnitRefused;
    }
    view_.center_hz = value * *scale;
    return kLinkDone;
}

int SimulatedAnalyzer::SetFreqSPan(double value, const std::string& unit) {
    const auto scale = FrequencyUnit(unit, true);
    std::lock_guard lock(mutex_);
    if (!scale) {
        return kLinkUnitRefused;
    }
    view_.span_hz = value * *scale;
    return kLinkDone;
}

// A setup file holds lines "center <Hz>", "span <Hz>", "traces <n>" and
// "trigger external|free".
int SimulatedAnalyzer::SetRecall(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        return kLinkUnitRefused;
    }
    std::string line;
    while (std::getline(file, line)) {
        ApplySetupLine(line);
    }
    return kLinkDone;
}

void SimulatedAnalyzer::ApplySetupLine(const std::string& line) {
    const auto space = line.find(' ');
    if (space == std::string::npos) {
        return;
    }
    const std::string key = line.substr(0, space);
    const std::string value = line.substr(space + 1);
    if (key == "center") {
        std::lock_guard lock(mutex_);
        view_.center_hz = ParseLeadingDouble(value);
    } else if (key == "span") {
        std::lock_guard lock(mutex_);
        view_.span_hz = ParseLeadingDouble(value);
    } else if (key == "traces") {
        const double traces = ParseLeadingDouble(value);
        set_trace_count(std::isfinite(traces)
                            ? static_cast<int>(std::clamp(traces, 0.0, 1.0 * kMaxTraces))
                            : 0);
    } else if (key == "trigger") {
        set_external_trigger(value.rfind("external", 0) == 0);
    }
}

int SimulatedAnalyzer::GetTraceCount() {
    std::lock_guard lock(mutex_);
    return view_.traces;
}

int SimulatedAnalyzer::GetMeasValue(MarkerArray& markers) {
    std::unique_lock lock(mutex_);
    const int count = std::min(view_.traces, kMaxTraces);
    for (int trace = 0; trace < count; ++trace) {
        marker& record = markers[static_cast<std::size_t>(trace)];
        record.label = "dBm";
        record.value = Level(view_, view_.marker_hz[static_cast<std::size_t>(trace)]);
    }
    const bool logging = view_.trigger_measuring;
    lock.unlock();
    if (logging) {
        LogMeasurement(markers, count);
    }
    return kLinkDone;
}

void SimulatedAnalyzer::LogMeasurement(const MarkerArray& markers, int count) {
    std::ofstream file(log_dir_ + "/" + kLogFileName, std::ios::app);
    for (int trace = 0; trace < count; ++trace) {
        file << PrintfText("%.3f", markers[static_cast<std::size_t>(trace)].value) << ' ';
    }
    file << '\n';
}

std::string SimulatedAnalyzer::GetLogFile() {
    return log_dir_ + "/" + kLogFileName;
}

int SimulatedAnalyzer::GetInputTrigMod() {
    std::lock_guard lock(mutex_);
    return view_.external_trigger ? kTriggerExternal : 0;
}

void SimulatedAnalyzer::SetTrigMeas(int on) {
    std::lock_guard lock(mutex_);
    view_.trigger_measuring = on != 0;
}

int SimulatedAnalyzer::GetTrigMeasValue() {
    std::lock_guard lock(mutex_);
    return view_.external_trigger && view_.pulse_trigger ? kLinkDone : kNotPulseTriggered;
}

int SimulatedAnalyzer::SetMeasType(int) {
    return kLinkDone;
}

int SimulatedAnalyzer::SetmMeasReset() {
    std::lock_guard lock(mutex_);
    view_.trigger_measuring = false;
    view_.marker_hz.fill(view_.center_hz);
    return kLinkDone;
}

void SimulatedAnalyzer::set_trace_count(int count) {
    std::lock_guard lock(mutex_);
    view_.traces = std::clamp(count, 0, kMaxTraces);
}

void SimulatedAnalyzer::set_external_trigger(bool external) {
    std::lock_guard lock(mutex_);
    view_.external_trigger = external;
}

void SimulatedAnalyzer::set_pulse_trigger(bool pulse) {
    std::lock_guard lock(mutex_);
    view_.pulse_trigger = pulse;
}

void SimulatedAnalyzer::set_carrier(double hz, double dbm) {
    std::lock_guard lock(mutex_);
    view_.carrier_hz = hz;
    view_.carrier_dbm = dbm;
}

SimulatedAnalyzer::View SimulatedAnalyzer::view() const {
    std::lock_guard lock(mutex_);
    return view_;
}

double SimulatedAnalyzer::Level(const View& view, double hz) {
    const double offset = (hz - view.carrier_hz) / kCarrierWidthHz;
    const double carrier = view.carrier_dbm - 10.0 * offset * offset;
    return std::max(kNoiseFloorDbm, carrier);
}

}  // namespace vantu
