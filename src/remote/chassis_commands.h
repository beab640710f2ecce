// The remote commands that act on the chassis control card: PL loads a pattern file,
// PG starts and PS stops the control code, PB reports busy changes, and
// SET_OPCODE_PARAM / GET_OPCODE_PARAM write and read one parameter of the loaded code.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/ports.h"
#include "base/settings.h"
#include "card/card_handle.h"
#include "controller/controller_flags.h"
#include "model/analyzer_page_model.h"
#include "model/main_page_model.h"
#include "pattern/opcode_table.h"
#include "pattern/pattern_loader.h"
#include "pattern/run_control.h"
#include "remote/command_dispatcher.h"
#include "remote/elapsed_timer.h"
#include "remote/tcp_server.h"

namespace vantu {

// What the chassis commands work on; everything is owned by the main controller.
struct ChassisContext {
    CCServer& server;
    ElapsedTimer& elapsed;
    // The card is opened at start-up, after this object may have been made.
    CardHandle& card;
    ControllerFlags& flags;
    Clock& clock;
    const StationSettings& settings;
    PatternLoader& loader;
    const OpCodeTable& opcode_table;
    RunControl& run_control;
    MainPageModel& main_page;
    AnalyzerPageModel& analyzer_page;
};

class ChassisCommands : public RemoteCommandSet {
  public:
    explicit ChassisCommands(const ChassisContext& context);

    bool RunCommand(std::string_view word, const std::string& line) override;

  private:
    void LoadPattern(const std::string& line);
    void StopBeforeLoad();
    void StartCode(const std::string& line);
    void StopCode();
    void PollBusy();
    void SetParameter(const std::string& line);
    void WriteParameter(std::string_view args);
    // The table entry of a hexadecimal index; none for an index no load recorded.
    std::optional<OpCodeEntry> FindParameter(std::string_view index_word) const;
    void GetParameter(const std::string& line);
    void ReadParameter(std::string_view index_word);
    // M, R, L of one text around a reply, then S.
    void AnswerFormatFailure(std::string_view text, std::string_view reply);
    void LogElapsed();

    ChassisContext ctx_;
    // The busy state PB reported last.
    bool last_busy_report_ = false;
};

}  // namespace vantu
