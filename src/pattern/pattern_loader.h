// Writes a pattern file into the card's control code memory word by word, fills the
// OP-code parameter table and lists the load in op_code.log.
#pragma once

#include <string>
#include <string_view>

#include "base/log_files.h"
#include "base/ports.h"
#include "card/card_handle.h"
#include "model/main_page_model.h"
#include "pattern/opcode_table.h"

namespace vantu {

// The file name part of a path.
std::string_view PatternFileName(std::string_view path);

class PatternLoader {
  public:
    PatternLoader(OpCodeTable& table, LogFiles& logs, Prompts& prompts, MainPageModel& main_page);

    // 0 on success; otherwise the file's read result, and neither the card nor the
    // table was touched. show_boxes puts the outcome in front of the operator too.
    int LoadPattern(CardHandle card, const std::string& path, bool show_boxes);

  private:
    void ReportFailure(std::string_view name, bool show_boxes);

    OpCodeTable& table_;
    LogFiles& logs_;
    Prompts& prompts_;
    MainPageModel& main_page_;
};

}  // namespace vantu
