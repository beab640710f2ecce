// What the main page shows and what its controls hold, whether or not a window
// exists. The Qt page draws this and forwards the operator's actions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/message_list.h"
#include "base/shared_settings.h"

namespace vantu {

struct MainPageModel {
    // Pattern combo: names from setup.ini; -1 when empty.
    std::vector<std::string> pattern_list;
    int pattern_selection = -1;

    // Run button: disabled until a pattern load succeeds. The run flag follows the
    // operator's clicks and the stops, not the card's busy bit.
    bool run_button_enabled = false;
    bool running = false;
    std::string_view run_caption() const { return running ? "停止" : "啟用"; }

    MessageList messages;
    Colour ref_line_colour = 0;
};

}  // namespace vantu
