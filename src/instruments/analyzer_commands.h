// The SCPI text the analyzer link sends for each of its calls. The default table is
// the station's own set, which the stand-in analyzer answers; a lab points the link at
// the analysis software it has with a file named by setup.ini's [VSA] COMMANDS=,
// one "<call> = <text>" line per call it changes. docs/instruments.md lists the calls.
#pragma once

#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace vantu {

enum class LinkCall : std::size_t {
    kMarkerFrequency,
    kCenter,
    kSpan,
    kRecall,
    kTraceCount,
    kMarkerValue,
    kMarkerUnit,
    kLogFile,
    kTriggerSource,
    kPulseTrigger,
    kMeasureOn,
    kMeasureOff,
    kMeasType,
    kReset,
    kCount
};

class AnalyzerCommandTable {
  public:
    AnalyzerCommandTable();

    // The table with the file's lines over the defaults. Unknown calls, lines without
    // "=" and a file that cannot be read are reported on console; the rest still counts.
    static AnalyzerCommandTable Load(const std::string& path, std::ostream& console);

    // The call's text with its arguments in place of the braces: {trace} and {type}
    // the number, {hz} the frequency in Hz with 6 decimals ({hz:N} with N, 0 to 9),
    // {path} the path. Other braces stay as written.
    std::string Text(LinkCall call, int number = 0, double hz = 0.0,
                     std::string_view path = {}) const;

  private:
    std::array<std::string, static_cast<std::size_t>(LinkCall::kCount)> texts_;
};

// The file name of each call: the link call, with ".unit", ".on" or ".off" where one
// call sends two texts.
std::string_view LinkCallName(LinkCall call);

}  // namespace vantu
