// The analyzer link in SCPI over a stream socket: to an analyzer on the LAN, or to
// the stand-in analyzer's local socket on a simulated station. "Software open"
// means the socket connects and answers; a dropped link is reconnected on the next
// call. The texts it sends come from its command table; docs/instruments.md lists
// the default one.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "instruments/analyzer_commands.h"
#include "instruments/analyzer_link.h"
#include "instruments/scpi_connection.h"

namespace vantu {

class ScpiAnalyzer : public CCVSA8960 {
  public:
    static constexpr int kConnectTimeoutMs = 1000;

    explicit ScpiAnalyzer(ScpiEndpoint endpoint, AnalyzerCommandTable commands = {})
        : commands_(std::move(commands)), connection_(std::move(endpoint)) {}

    int SetMarker_Type1(int trace, int type, double value, const std::string& unit) override;
    int SetFreqCenter(double value, const std::string& unit) override;
    int SetFreqSPan(double value, const std::string& unit) override;
    int SetRecall(const std::string& path) override;
    int GetTraceCount() override;
    int GetMeasValue(MarkerArray& markers) override;
    std::string GetLogFile() override;
    int GetInputTrigMod() override;
    void SetTrigMeas(int on) override;
    int GetTrigMeasValue() override;
    int SetMeasType(int type) override;
    int SetmMeasReset() override;

  private:
    // 0 done, 1 not open or silent, 2 refused (the error queue was not empty).
    int Setting(const std::string& command);
    int Frequency(LinkCall call, int trace, double value, const std::string& unit, bool span);
    std::optional<std::string> Ask(const std::string& query);
    bool Linked();
    int TraceCount();

    const AnalyzerCommandTable commands_;
    // The trigger thread and the GUI thread share the one conversation.
    std::mutex mutex_;
    ScpiConnection connection_;
};

}  // namespace vantu
