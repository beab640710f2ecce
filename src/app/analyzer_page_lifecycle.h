// The signal-analyzer page's instrument side as the controller sees it: the
// generator and analyzer groups with their backends, the VSG_/VSA_ remote commands,
// the settings dialog's text path, the page's own timers, its tab selections and its
// steps of the station shutdown.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "base/log_files.h"
#include "base/message_list.h"
#include "base/ports.h"
#include "base/shared_settings.h"
#include "controller/page_lifecycle.h"
#include "instruments/analyzer_control.h"
#include "instruments/generator_control.h"
#include "instruments/instrument_commands.h"
#include "instruments/instrument_text.h"
#include "instruments/page_messages.h"
#include "model/analyzer_page_model.h"
#include "model/main_page_model.h"
#include "remote/tcp_server.h"

namespace vantu {

inline constexpr int kInstrumentTab = 5;

struct AnalyzerPageLifecycleContext {
    GeneratorDriver& generator;
    CCVSA8960& link;
    // None without a display.
    AnalyzerWindows* windows;
    MessageList& tcp_messages;
    LogFiles& logs;
    SharedSettings& shared;
    MainPageModel& main_page;
    CCServer& server;
    // The page's own timers 1, 5 and 6, delivered to HandleTimer.
    Timers& timers;
    Poster& poster;
    Clock& clock;
    Prompts& prompts;
    std::ostream& console;
    std::string station_dir;
    std::string program;
    std::function<bool(const std::string&)> launch;
    std::function<void()> stop_control_code;
    // setup.ini [VSA] RECALL_DIR; empty for the station's own recall directory.
    std::string recall_dir;
};

class AnalyzerPageLifecycle : public PageLifecycle {
  public:
    explicit AnalyzerPageLifecycle(const AnalyzerPageLifecycleContext& context);

    int tab() const override { return kInstrumentTab; }
    void Shown() override;
    void Hidden() override;
    // The trigger measurement stopped, RF off and the generator closed, then the
    // question whether the analysis software closes too.
    void Shutdown() override;

    void HandleTimer(int id) { analyzer_.HandleTimer(id); }

    InstrumentPageState& state() { return state_; }
    PageMessages& messages() { return messages_; }
    GeneratorControl& generator() { return generator_; }
    AnalyzerControl& analyzer() { return analyzer_; }
    InstrumentCommands& commands() { return commands_; }
    InstrumentText& text() { return text_; }

  private:
    SharedSettings& shared_;
    InstrumentPageState state_;
    PageMessages messages_;
    GeneratorControl generator_;
    AnalyzerControl analyzer_;
    InstrumentCommands commands_;
    InstrumentText text_;
};

}  // namespace vantu
