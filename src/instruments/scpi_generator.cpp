#include "instruments/scpi_generator.h"

#include "base/number_text.h"
#include "instruments/decimal_text.h"
#include "instruments/printf_text.h"

namespace vantu {
namespace {

constexpr ViSession kScpiSession = 1;
constexpr const char* kDriverRevision = "VANTU SCPI socket 1.0";

std::string Endpoint(const ScpiEndpoint& endpoint) {
    return endpoint.host + ":" + std::to_string(endpoint.port);
}

// The fourth field of "*IDN?": the firmware revision.
std::string FirmwareOf(const std::string& identity) {
    std::size_t start = 0;
    for (int field = 0; field < 3; ++field) {
        start = identity.find(',', start);
        if (start == std::string::npos) {
            return {};
        }
        ++start;
    }
    return identity.substr(start);
}

}  // namespace

ViStatus ScpiGenerator::Silent(const std::string& command) {
    connection_.Close();
    return errors_.Fail(kTimeout, "generator at " + Endpoint(connection_.endpoint()) +
                                      " did not answer " + command);
}

std::optional<std::string> ScpiGenerator::Ask(const std::string& command) {
    return connection_.Query(command);
}

ViStatus ScpiGenerator::Setting(const std::string& command) {
    if (!connection_.connected()) {
        return errors_.Fail(kTimeout, "generator not connected");
    }
    if (!connection_.Write(command)) {
        return Silent(command);
    }
    return ErrorsAfter(command);
}

ViStatus ScpiGenerator::ErrorsAfter(const std::string& command) {
    std::vector<ScpiError> errors;
    switch (DrainScpiErrors(connection_, errors)) {
        case QueueState::kEmpty:
            return kViSuccess;
        case QueueState::kSilent:
            return Silent(":SYST:ERR?");
        case QueueState::kErrors:
            break;
    }
    for (const ScpiError& error : errors) {
        errors_.Queue(error.code, error.message);
    }
    return errors_.Fail(kInstrumentError, command + ": " + errors.front().message);
}

// A reset can take longer than a query may: its end is waited for with *OPC? under
// the settle time-out before the error queue is read.
ViStatus ScpiGenerator::Reset() {
    if (!connection_.Write("*RST")) {
        return Silent("*RST");
    }
    const auto done = connection_.Query("*OPC?", kSettleTimeoutMs);
    if (!done) {
        return Silent("*OPC? after *RST");
    }
    if (ParseDecimal(*done) != 1) {
        return errors_.Fail(kInstrumentError, "*OPC? after *RST answered " + *done);
    }
    return ErrorsAfter("*RST");
}

ViStatus ScpiGenerator::InitWithOptions(const std::string&, bool, bool reset, const std::string&,
                                        ViSession& handle) {
    if (!connection_.Connect()) {
        return errors_.Fail(kTimeout, "generator at " + Endpoint(connection_.endpoint()) +
                                          " does not accept a connection");
    }
    const auto identity = Ask("*IDN?");
    if (!identity) {
        return Silent("*IDN? within 2 s");
    }
    identity_ = *identity;
    errors_.ClearQueue();
    if (reset) {
        const ViStatus status = Reset();
        if (status != kViSuccess) {
            return status;
        }
    }
    handle = kScpiSession;
    return kViSuccess;
}

ViStatus ScpiGenerator::ErrorQuery(ViSession, std::int32_t& code, std::string& message) {
    return errors_.Query(code, message);
}

ViStatus ScpiGenerator::GetAttributeViString(ViSession, std::int32_t attribute, std::size_t size,
                                             std::string& value) {
    if (attribute == kAttrDriverRevision) {
        value = kDriverRevision;
    } else if (attribute == kAttrFirmwareRevision) {
        value = FirmwareOf(identity_);
    } else {
        return errors_.Fail(kNotSupported, "attribute not supported");
    }
    CutToBuffer(value, size);
    return kViSuccess;
}

ViStatus ScpiGenerator::GetAttributeViBoolean(ViSession, std::int32_t attribute, bool& value) {
    if (attribute == kAttrSimulate) {
        value = false;
        return kViSuccess;
    }
    if (attribute != kAttrRfOutputEnabled && attribute != kAttrSourceOutputEnable) {
        return errors_.Fail(kNotSupported, "attribute not supported");
    }
    const auto answer = Ask(":OUTP?");
    if (!answer) {
        return Silent(":OUTP?");
    }
    value = ParseDecimal(*answer) != 0 || *answer == "ON";
    return kViSuccess;
}

ViStatus ScpiGenerator::GetAttributeViInt32(ViSession, std::int32_t attribute,
                                            std::int32_t& value) {
    if (attribute != kAttrPulseMode) {
        return errors_.Fail(kNotSupported, "attribute not supported");
    }
    const auto state = Ask(":PULM:STAT?");
    if (!state) {
        return Silent(":PULM:STAT?");
    }
    if (ParseDecimal(*state) == 0 && *state != "ON") {
        value = 2;
        return kViSuccess;
    }
    const auto polarity = Ask(":PULM:EXT:POL?");
    if (!polarity) {
        return Silent(":PULM:EXT:POL?");
    }
    value = polarity->starts_with("INV") ? 0 : 1;
    return kViSuccess;
}

ViStatus ScpiGenerator::GetAttributeViReal64(ViSession, std::int32_t attribute, double& value) {
    const char* query = nullptr;
    if (attribute == kAttrRfFrequency || attribute == kAttrOutputFrequency) {
        query = ":FREQ?";
    } else if (attribute == kAttrRfPowerLevel || attribute == kAttrPowerLevel) {
        query = ":POW?";
    } else {
        return errors_.Fail(kNotSupported, "attribute not supported");
    }
    const auto answer = Ask(query);
    if (!answer) {
        return Silent(query);
    }
    value = ParseLeadingDouble(*answer);
    return kViSuccess;
}

ViStatus ScpiGenerator::SetAttributeViReal64(ViSession, std::int32_t attribute, double value) {
    if (attribute == kAttrRfFrequency) {
        return Setting(PrintfText(":FREQ %.0f", value));
    }
    if (attribute == kAttrRfPowerLevel) {
        return Setting(PrintfText(":POW %.2f", value));
    }
    return errors_.Fail(kNotSupported, "attribute not supported");
}

ViStatus ScpiGenerator::SetAttributeViBoolean(ViSession, std::int32_t attribute, bool value) {
    if (attribute == kAttrRfOutputEnabled) {
        return Setting(value ? ":OUTP ON" : ":OUTP OFF");
    }
    return errors_.Fail(kNotSupported, "attribute not supported");
}

// Pulse mode 2: not pulsed; 1: pulse on with the trigger (normal polarity);
// 0: pulse off with the trigger (inverted polarity).
ViStatus ScpiGenerator::RFConfigureOutput(ViSession, std::int32_t, std::int32_t pulse_mode) {
    if (pulse_mode == 2) {
        return Setting(":PULM:STAT OFF");
    }
    for (const char* command :
         {":PULM:SOUR EXT", pulse_mode == 1 ? ":PULM:EXT:POL NORM" : ":PULM:EXT:POL INV",
          ":PULM:STAT ON"}) {
        const ViStatus status = Setting(command);
        if (status != kViSuccess) {
            return status;
        }
    }
    return kViSuccess;
}

ViStatus ScpiGenerator::RFIsSettled(ViSession, bool& settled) {
    const auto answer = Ask("*OPC?");
    if (!answer) {
        return Silent("*OPC?");
    }
    settled = ParseDecimal(*answer) == 1;
    return kViSuccess;
}

ViStatus ScpiGenerator::RFWaitUntilSettled(ViSession, std::int32_t max_ms, bool& settled) {
    const auto answer = connection_.Query("*OPC?", max_ms);
    if (!answer) {
        settled = false;
        return Silent("*OPC?");
    }
    settled = ParseDecimal(*answer) == 1;
    return kViSuccess;
}

ViStatus ScpiGenerator::Apply(ViSession handle) {
    bool settled = false;
    return RFIsSettled(handle, settled);
}

ViStatus ScpiGenerator::GetError(ViSession, std::int32_t& code, std::size_t size,
                                 std::string& message) {
    return errors_.TakeLast(code, size, message);
}

ViStatus ScpiGenerator::Close(ViSession) {
    connection_.Close();
    return kViSuccess;
}

}  // namespace vantu
