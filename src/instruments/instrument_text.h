// The analyzer settings dialog's text commands (TRACE_A_FREQ ... VSASPAN): the local
// path into the marker, centre and span operations. Nothing goes to the TCP client
// and the periodic timers are not touched.
#pragma once

#include <string_view>

#include "instruments/analyzer_control.h"
#include "instruments/page_messages.h"

namespace vantu {

class InstrumentText {
  public:
    InstrumentText(AnalyzerControl& analyzer, PageMessages& messages)
        : analyzer_(analyzer), messages_(messages) {}

    // Runs one text; false when its first word names no command.
    bool Interpret(std::string_view text);

  private:
    AnalyzerControl& analyzer_;
    PageMessages& messages_;
};

}  // namespace vantu
