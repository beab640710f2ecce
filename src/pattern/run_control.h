// Run control of the control code: the handlers of the controller command message
// that load, start, stop and reset it. Each returns the code's result: 0, or 1 when
// refused.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/log_files.h"
#include "base/ports.h"
#include "base/settings.h"
#include "card/card_handle.h"
#include "controller/controller_flags.h"
#include "model/analyzer_page_model.h"
#include "model/main_page_model.h"
#include "pattern/pattern_loader.h"

namespace vantu {

// The pattern file last loaded with success.
struct LoadedPattern {
    std::string name;
    std::string dir;
};

// What run control works on; everything is owned by the main controller.
struct RunControlContext {
    // The card is opened at start-up, after this object may have been made.
    CardHandle& card;
    ControllerFlags& flags;
    Timers& timers;
    Clock& clock;
    Prompts& prompts;
    LogFiles& logs;
    MainPageModel& main_page;
    AnalyzerPageModel& analyzer_page;
    const StationSettings& settings;
    PatternLoader& loader;
    // The report host copy, and the digital-ID table when it follows in one block:
    // the report reset zeroes all of it.
    std::span<std::uint32_t> report_copy;
};

class RunControl {
  public:
    explicit RunControl(RunControlContext context);

    int LoadFromMainPage();      // (2,3)
    int EnableControl();         // (2,5)
    int StopControl();           // (2,6)
    int ResetReportStates();     // (2,7)
    int ResetControlCode();      // (2,8)
    int LoadFromAnalyzerPage();  // (7,1)

    const LoadedPattern& loaded_pattern() const { return loaded_; }
    // After a successful load from the pattern directory (also the remote one).
    void RememberLoaded(std::string_view path);

  private:
    // Stops running code before a reset; the run button goes back to idle.
    void StopIfBusyForReset();
    // The analyzer page's load once the name was found in the pattern directory.
    void LoadCheckedFromAnalyzerPage(const std::string& path);
    // T and L: the analyzer page's TCP list and the operation log.
    void ListAndLog(const std::string& text);

    RunControlContext ctx_;
    LoadedPattern loaded_;
};

}  // namespace vantu
