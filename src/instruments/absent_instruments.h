// Stand-ins for an instrument the station has no backend for: every generator call
// fails with a message that says so, and the analysis software never answers.
#pragma once

#include "instruments/analyzer_link.h"
#include "instruments/generator_driver.h"

namespace vantu {

// IVI's "resource not found".
inline constexpr ViStatus kNoGenerator = static_cast<ViStatus>(0xBFFF0011);
inline constexpr const char* kNoGeneratorText =
    "no signal generator configured (setup.ini [VSG] RESOURCE)";

class AbsentGenerator : public GeneratorDriver {
  public:
    ViStatus InitWithOptions(const std::string&, bool, bool, const std::string&,
                             ViSession&) override {
        return kNoGenerator;
    }
    ViStatus ErrorQuery(ViSession, std::int32_t& code, std::string& message) override;
    ViStatus GetAttributeViString(ViSession, std::int32_t, std::size_t, std::string&) override {
        return kNoGenerator;
    }
    ViStatus GetAttributeViBoolean(ViSession, std::int32_t, bool&) override { return kNoGenerator; }
    ViStatus GetAttributeViInt32(ViSession, std::int32_t, std::int32_t&) override {
        return kNoGenerator;
    }
    ViStatus GetAttributeViReal64(ViSession, std::int32_t, double&) override {
        return kNoGenerator;
    }
    ViStatus SetAttributeViReal64(ViSession, std::int32_t, double) override { return kNoGenerator; }
    ViStatus SetAttributeViBoolean(ViSession, std::int32_t, bool) override { return kNoGenerator; }
    ViStatus RFConfigureOutput(ViSession, std::int32_t, std::int32_t) override {
        return kNoGenerator;
    }
    ViStatus RFIsSettled(ViSession, bool&) override { return kNoGenerator; }
    ViStatus RFWaitUntilSettled(ViSession, std::int32_t, bool&) override { return kNoGenerator; }
    ViStatus Apply(ViSession) override { return kNoGenerator; }
    ViStatus GetError(ViSession, std::int32_t& code, std::size_t size,
                      std::string& message) override;
    ViStatus Close(ViSession) override { return kNoGenerator; }
};

class AbsentAnalyzer : public CCVSA8960 {
  public:
    int SetMarker_Type1(int, int, double, const std::string&) override { return kLinkNotOpen; }
    int SetFreqCenter(double, const std::string&) override { return kLinkNotOpen; }
    int SetFreqSPan(double, const std::string&) override { return kLinkNotOpen; }
    int SetRecall(const std::string&) override { return kLinkNotOpen; }
    int GetTraceCount() override { return kTraceCountFailed; }
    int GetMeasValue(MarkerArray&) override { return kLinkNotOpen; }
    std::string GetLogFile() override { return {}; }
    int GetInputTrigMod() override { return kLinkNotOpen; }
    void SetTrigMeas(int) override {}
    int GetTrigMeasValue() override { return kLinkNotOpen; }
    int SetMeasType(int) override { return kLinkNotOpen; }
    int SetmMeasReset() override { return kLinkNotOpen; }
};

}  // namespace vantu
