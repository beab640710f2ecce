// CCVSA8960: the link to the signal-analysis software, with the result codes the page
// relies on. Backends: the stand-in analyzer of a simulated station (over a local
// socket) and an analyzer on the LAN spoken to in SCPI.
#pragma once

#include <array>
#include <string>

namespace vantu {

inline constexpr int kLinkDone = 0;
inline constexpr int kLinkNotOpen = 1;
inline constexpr int kLinkUnitRefused = 2;
// GetInputTrigMod: the software is set to an external trigger.
inline constexpr int kTriggerExternal = 3;
// GetTrigMeasValue: the software is not in external pulse-trigger mode.
inline constexpr int kNotPulseTriggered = 2;
// GetTraceCount: the software did not answer with a count (not open, silent, garbage).
inline constexpr int kTraceCountFailed = -1;

inline constexpr std::size_t kMaxMarkers = 16;
inline constexpr std::size_t kMarkerLabelSize = 16;

// One trace's marker: its label (a unit such as "dBm", at most 15 characters) and
// its value.
struct marker {
    std::string label;
    double value = 0.0;
};
using MarkerArray = std::array<marker, kMaxMarkers>;

class CCVSA8960 {
  public:
    virtual ~CCVSA8960() = default;

    virtual int SetMarker_Type1(int trace, int type, double value, const std::string& unit) = 0;
    virtual int SetFreqCenter(double value, const std::string& unit) = 0;
    virtual int SetFreqSPan(double value, const std::string& unit) = 0;
    virtual int SetRecall(const std::string& path) = 0;
    // The number of traces, or kTraceCountFailed.
    virtual int GetTraceCount() = 0;
    // Fills at most kMaxMarkers records, whatever the trace count.
    virtual int GetMeasValue(MarkerArray& markers) = 0;
    virtual std::string GetLogFile() = 0;
    virtual int GetInputTrigMod() = 0;
    virtual void SetTrigMeas(int on) = 0;
    virtual int GetTrigMeasValue() = 0;
    virtual int SetMeasType(int type) = 0;
    virtual int SetmMeasReset() = 0;
};

}  // namespace vantu
