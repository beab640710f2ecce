// What the main page shows and what its controls hold, whether or not a window
// exists. The Qt page draws this and forwards the operator's actions.
#pragma once

#include <string>
#include <vector>

#include "base/message_list.h"
#include "base/shared_settings.h"

namespace vantu {

struct MainPageModel {
    // Pattern combo: names from setup.ini; -1 when empty.
    std::vector<std::string> pattern_list;
    int pattern_selection = -1;

    MessageList messages;
    Colour ref_line_colour = 0;
};

}  // namespace vantu
