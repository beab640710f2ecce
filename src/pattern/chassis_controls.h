// The chassis group of the signal-analyzer page: pattern choice, load, single-step or
// continuous start, and stop. The Qt page forwards its clicks here and draws the model.
#pragma once

#include <string>

#include "base/log_files.h"
#include "base/ports.h"
#include "controller/command_sink.h"
#include "controller/controller_timers.h"
#include "model/analyzer_page_model.h"

namespace vantu {

class ChassisControls {
  public:
    ChassisControls(AnalyzerPageModel& page, CommandSink& commands, Timers& timers,
                    Prompts& prompts, LogFiles& logs);

    void ClickSingleStep();
    void ClickContinuous();
    // The file confirmed in the browse dialog. Anything but a .cfg file is refused with
    // a warning and the field keeps its name.
    bool ChooseBrowsedFile(const std::string& path);
    // "載入": the controller loads the field's name from the pattern directory.
    int ClickLoad();
    void ClickRun();
    void ClickStop();
    void HandleContinuousTick();

  private:
    void ListWithSeparator(const std::string& text);

    AnalyzerPageModel& page_;
    CommandSink& commands_;
    Timers& timers_;
    Prompts& prompts_;
    LogFiles& logs_;
};

}  // namespace vantu
