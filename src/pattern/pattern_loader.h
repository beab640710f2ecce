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
#include "pattern/pattern_file.h"

namespace vantu {

// The file name part of a path.
std::string_view PatternFileName(std::string_view path);

class PatternLoader {
  public:
    PatternLoader(OpCodeTable& table, LogFiles& logs, Prompts& prompts, MainPageModel& main_page);

    // 0 on success; otherwise the file's read result, and neither the card nor the
    // table was touched. show_boxes puts the outcome in front of the operator too.
    int LoadPattern(CardHandle card, const std::string& path, bool show_boxes);

    // The check a load makes before anything on the card may change (stopping the
    // running code, clearing its memory): reads path into image. A refused file is
    // logged with its reason (and shown, with show_boxes); the result says why.
    PatternReadResult ReadForLoad(const std::string& path, PatternImage& image, bool show_boxes);
    // Writes an image ReadForLoad accepted.
    void LoadImage(CardHandle card, const std::string& path, const PatternImage& image,
                   bool show_boxes);

  private:
    void ReportRefusal(std::string_view name, PatternReadResult result, bool show_boxes);

    OpCodeTable& table_;
    LogFiles& logs_;
    Prompts& prompts_;
    MainPageModel& main_page_;
};

}  // namespace vantu
