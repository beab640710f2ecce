#include "sim/simulated_generator.h"

namespace vantu {
namespace {

constexpr ViSession kSimulatedSession = 0x1001;

template <typename T>
T Get(const std::map<std::int32_t, std::variant<bool, std::int32_t, double, std::string>>& values,
      std::int32_t attribute) {
    const auto it = values.find(attribute);
    if (it == values.end() || !std::holds_alternative<T>(it->second)) {
        return T{};
    }
    return std::get<T>(it->second);
}

}  // namespace

SimulatedGenerator::SimulatedGenerator(Clock& clock) : clock_(clock) {}

ViStatus SimulatedGenerator::Fail(ViStatus code, std::string message) {
    errors_.Queue(code, message);
    return errors_.Fail(code, std::move(message));
}

bool SimulatedGenerator::Valid(ViSession handle) {
    if (open_ && handle == session_) {
        return true;
    }
    Fail(kInvalidSession, "Invalid session handle");
    return false;
}

void SimulatedGenerator::Changed() {
    settled_at_us_ = clock_.Microseconds() + kSettleMs * 1000LL;
}

ViStatus SimulatedGenerator::InitWithOptions(const std::string&, bool, bool reset,
                                             const std::string&, ViSession& handle) {
    open_ = true;
    session_ = kSimulatedSession;
    handle = session_;
    if (reset) {
        attributes_.clear();
        errors_.ClearQueue();
    }
    attributes_[kAttrDriverRevision] = std::string("1.0 (simulated)");
    attributes_[kAttrFirmwareRevision] = std::string("SIM-M9381A 1.0");
    attributes_[kAttrSimulate] = true;
    attributes_.try_emplace(kAttrRfFrequency, 1e9);
    attributes_.try_emplace(kAttrRfPowerLevel, -10.0);
    attributes_.try_emplace(kAttrRfOutputEnabled, false);
    Changed();
    return kViSuccess;
}

ViStatus SimulatedGenerator::ErrorQuery(ViSession, std::int32_t& code, std::string& message) {
    return errors_.Query(code, message);
}

ViStatus SimulatedGenerator::GetAttributeViString(ViSession handle, std::int32_t attribute,
                                                  std::size_t size, std::string& value) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    value = Get<std::string>(attributes_, attribute);
    CutToBuffer(value, size);
    return kViSuccess;
}

ViStatus SimulatedGenerator::GetAttributeViBoolean(ViSession handle, std::int32_t attribute,
                                                   bool& value) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    value = Get<bool>(attributes_, attribute);
    return kViSuccess;
}

ViStatus SimulatedGenerator::GetAttributeViInt32(ViSession handle, std::int32_t attribute,
                                                 std::int32_t& value) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    value = Get<std::int32_t>(attributes_, attribute);
    return kViSuccess;
}

ViStatus SimulatedGenerator::GetAttributeViReal64(ViSession handle, std::int32_t attribute,
                                                  double& value) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    if (attribute == kAttrOutputFrequency) {
        value = Get<double>(attributes_, kAttrRfFrequency);
    } else if (attribute == kAttrPowerLevel) {
        value = Get<double>(attributes_, kAttrRfPowerLevel);
    } else {
        value = Get<double>(attributes_, attribute);
    }
    return kViSuccess;
}

ViStatus SimulatedGenerator::SetAttributeViReal64(ViSession handle, std::int32_t attribute,
                                                  double value) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    if (attribute == kAttrRfFrequency && (value < kMinFrequencyHz || value > kMaxFrequencyHz)) {
        return Fail(kInvalidValue, "RF frequency out of range");
    }
    if (attribute == kAttrRfPowerLevel && (value < kMinPowerDbm || value > kMaxPowerDbm)) {
        return Fail(kInvalidValue, "RF power level out of range");
    }
    attributes_[attribute] = value;
    Changed();
    return kViSuccess;
}

ViStatus SimulatedGenerator::SetAttributeViBoolean(ViSession handle, std::int32_t attribute,
                                                   bool value) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    attributes_[attribute] = value;
    if (attribute == kAttrRfOutputEnabled) {
        attributes_[kAttrSourceOutputEnable] = value;
    }
    Changed();
    return kViSuccess;
}

ViStatus SimulatedGenerator::RFConfigureOutput(ViSession handle, std::int32_t,
                                               std::int32_t pulse_mode) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    if (pulse_mode < 0 || pulse_mode > 2) {
        return Fail(kInvalidValue, "Pulse mode out of range");
    }
    attributes_[kAttrPulseMode] = pulse_mode;
    Changed();
    return kViSuccess;
}

ViStatus SimulatedGenerator::RFIsSettled(ViSession handle, bool& settled) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    settled = clock_.Microseconds() >= settled_at_us_;
    return kViSuccess;
}

ViStatus SimulatedGenerator::RFWaitUntilSettled(ViSession handle, std::int32_t max_ms,
                                                bool& settled) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    const std::int64_t left_us = settled_at_us_ - clock_.Microseconds();
    if (left_us > 0) {
        const auto wait_ms = static_cast<int>(std::min<std::int64_t>(left_us / 1000 + 1, max_ms));
        clock_.SleepMs(wait_ms);
    }
    settled = clock_.Microseconds() >= settled_at_us_;
    return kViSuccess;
}

ViStatus SimulatedGenerator::Apply(ViSession handle) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    ++apply_count_;
    return kViSuccess;
}

ViStatus SimulatedGenerator::GetError(ViSession, std::int32_t& code, std::size_t size,
                                      std::string& message) {
    return errors_.TakeLast(code, size, message);
}

ViStatus SimulatedGenerator::Close(ViSession handle) {
    if (!Valid(handle)) {
        return kInvalidSession;
    }
    open_ = false;
    return kViSuccess;
}

double SimulatedGenerator::Real(std::int32_t attribute) const {
    return Get<double>(attributes_, attribute);
}

bool SimulatedGenerator::Boolean(std::int32_t attribute) const {
    return Get<bool>(attributes_, attribute);
}

std::int32_t SimulatedGenerator::Int(std::int32_t attribute) const {
    return Get<std::int32_t>(attributes_, attribute);
}

}  // namespace vantu
