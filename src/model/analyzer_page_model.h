// The signal-analyzer page as the core sees it: the TCP message list that shows
// remote traffic and device events, and the controls other subsystems fill.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/message_list.h"

namespace vantu {

struct AnalyzerPageModel {
    MessageList tcp_messages;

    // Chassis group "PXIe /  QDX 全型機箱控制設定".
    struct ChassisGroup {
        static constexpr std::array<int, 4> kIntervalSeconds{5, 10, 20, 60};
        // Field "控制執行碼": the chosen file name; its tool tip the full path.
        std::string control_code_name;
        std::string control_code_tooltip;
        // Folder of the last browsed file; loads still look in the pattern directory.
        std::string browse_dir;
        bool load_button_enabled = false;
        // "單步模式" ticked; "連續模式" is its opposite.
        bool single_step = true;
        bool interval_list_enabled = false;
        int interval_selection = 1;
        int interval_ms = 10000;
        bool run_button_enabled = false;
        bool stop_button_enabled = false;
        // Set by a load from this page; the run and stop buttons act only after one.
        bool pattern_loaded = false;
        std::string_view run_caption() const { return single_step ? "執行" : "啟用"; }
    };
    ChassisGroup chassis;
};

}  // namespace vantu
