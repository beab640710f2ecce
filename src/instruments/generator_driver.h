// The signal generator's driver calls as the page makes them, with the attribute
// numbers it uses. A backend behind this interface may be the simulated generator,
// a generator on the LAN spoken to in SCPI, or none at all.
#pragma once

#include <cstdint>
#include <string>

namespace vantu {

using ViSession = std::uint32_t;
using ViStatus = std::int32_t;

inline constexpr ViStatus kViSuccess = 0;

inline constexpr std::int32_t kAttrDriverRevision = 1050551;
inline constexpr std::int32_t kAttrFirmwareRevision = 1050510;
inline constexpr std::int32_t kAttrSimulate = 1050005;
inline constexpr std::int32_t kAttrRfFrequency = 1150168;
inline constexpr std::int32_t kAttrRfPowerLevel = 1150169;
inline constexpr std::int32_t kAttrRfOutputEnabled = 1150170;
inline constexpr std::int32_t kAttrOutputFrequency = 1150022;
inline constexpr std::int32_t kAttrPowerLevel = 1150023;
inline constexpr std::int32_t kAttrInputLevel = 1150027;
inline constexpr std::int32_t kAttrPulseMode = 1150061;
inline constexpr std::int32_t kAttrTriggerSourceOutput = 1150177;
inline constexpr std::int32_t kAttrAttenuatorMode = 1150032;
inline constexpr std::int32_t kAttrOutputAttenuation = 1150033;
inline constexpr std::int32_t kAttrSourceOutputEnable = 1150165;
inline constexpr std::int32_t kAttrPulseTriggerSource = 1150178;
inline constexpr std::int32_t kAttrPulseTriggerMode = 1150164;

inline constexpr const char* kGeneratorResource =
    "PXI30::0::0::INSTR;PXI23::0::0::INSTR;PXI22::0::0::INSTR;PXI12::0::0::INSTR";
inline constexpr const char* kGeneratorOptions =
    "QueryInstrStatus=true, Simulate=false, DriverSetup= Model=, Trace=false";

class GeneratorDriver {
  public:
    virtual ~GeneratorDriver() = default;

    virtual ViStatus InitWithOptions(const std::string& resource, bool id_query, bool reset,
                                     const std::string& options, ViSession& handle) = 0;
    // One entry of the instrument's error queue; code 0 when it is empty.
    virtual ViStatus ErrorQuery(ViSession handle, std::int32_t& code, std::string& message) = 0;
    virtual ViStatus GetAttributeViString(ViSession handle, std::int32_t attribute,
                                          std::size_t size, std::string& value) = 0;
    virtual ViStatus GetAttributeViBoolean(ViSession handle, std::int32_t attribute,
                                           bool& value) = 0;
    virtual ViStatus GetAttributeViInt32(ViSession handle, std::int32_t attribute,
                                         std::int32_t& value) = 0;
    virtual ViStatus GetAttributeViReal64(ViSession handle, std::int32_t attribute,
                                          double& value) = 0;
    virtual ViStatus SetAttributeViReal64(ViSession handle, std::int32_t attribute,
                                          double value) = 0;
    virtual ViStatus SetAttributeViBoolean(ViSession handle, std::int32_t attribute,
                                           bool value) = 0;
    virtual ViStatus RFConfigureOutput(ViSession handle, std::int32_t output,
                                       std::int32_t pulse_mode) = 0;
    virtual ViStatus RFIsSettled(ViSession handle, bool& settled) = 0;
    virtual ViStatus RFWaitUntilSettled(ViSession handle, std::int32_t max_ms, bool& settled) = 0;
    virtual ViStatus Apply(ViSession handle) = 0;
    // The error of the last failed call: code and message cut to size - 1 characters.
    virtual ViStatus GetError(ViSession handle, std::int32_t& code, std::size_t size,
                              std::string& message) = 0;
    virtual ViStatus Close(ViSession handle) = 0;
};

}  // namespace vantu
