// The remote commands that drive the signal generator (VSG_*) and the analysis
// software (VSA_*) through the signal-analyzer page's operations.
#pragma once

#include <string>
#include <string_view>

#include "instruments/analyzer_control.h"
#include "instruments/generator_control.h"
#include "model/main_page_model.h"
#include "remote/command_dispatcher.h"
#include "remote/tcp_server.h"

namespace vantu {

struct InstrumentCommandContext {
    CCServer& server;
    GeneratorControl& generator;
    GeneratorGroup& generator_group;
    AnalyzerControl& analyzer;
    // An RF switch-off failure is listed on the main page too.
    MainPageModel& main_page;
};

class InstrumentCommands : public RemoteCommandSet {
  public:
    explicit InstrumentCommands(const InstrumentCommandContext& context) : ctx_(context) {}

    bool RunCommand(std::string_view word, const std::string& line) override;

  private:
    bool RunGeneratorCommand(std::string_view word, const std::string& line);
    bool RunAnalyzerCommand(std::string_view word, const std::string& line);
    void SetGeneratorBoxes(const std::string& line);
    // R M L S with the done or the failed texts.
    void Answer(bool done, std::string_view done_reply, std::string_view fail_reply,
                std::string_view done_text, std::string_view fail_text);
    // M R L S: the frequency commands list before they answer.
    void AnswerListed(bool done, std::string_view done_reply, std::string_view fail_reply,
                      std::string_view done_text, std::string_view fail_text,
                      std::string_view done_log);
    void SwitchRfOff();
    void Recall(const std::string& line);
    void Read();
    void SaveToLog(const std::string& line);

    InstrumentCommandContext ctx_;
};

}  // namespace vantu
