// The signal-analyzer page as the core sees it: the TCP message list that shows
// remote traffic and device events, the chassis controls, and the generator and
// analyzer groups.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/message_list.h"
#include "base/shared_settings.h"

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

// The page's flags in the shared settings block.
inline constexpr std::size_t kSharedGeneratorOpen = 0;
inline constexpr std::size_t kSharedRfOn = 1;
inline constexpr std::size_t kSharedTriggerMeasurement = 2;

inline constexpr std::array<const char*, 3> kPulseItems = {" Not Pulsed", " Rising Edge",
                                                           " Falling Edge"};

// What the generator and analyzer groups show; the instrument side of the page fills
// them and the Qt page draws them and forwards the operator's clicks.
struct GeneratorGroup {
    std::string frequency_text = "1";
    std::string power_text = "-10";
    // Index into kPulseItems; -1 for no selection.
    int pulse_selection = 1;
    std::string open_caption = "開啟";
    bool open_enabled = true;
    std::string rf_caption = "啟用";
    bool rf_enabled = false;
};

inline constexpr int kMarkerBoxes = 6;
inline constexpr Colour kMarkerValueColour = 0x787878;
inline constexpr Colour kMarkerBlankColour = 0xFFFFFF;

struct AnalyzerGroup {
    std::string open_caption = "開啟";
    bool open_enabled = true;
    bool reset_enabled = true;
    std::string measure_caption = "量測";
    std::array<std::string, kMarkerBoxes> marker_values{};
    std::array<Colour, kMarkerBoxes> marker_colours{};
    std::array<std::string, kMarkerBoxes> marker_labels{"MKR-1", "MKR-2", "MKR-3",
                                                        "MRK-4", "MKR-5", "MKR-6"};
    bool save_log = true;
    bool pin_window = false;
    bool trigger_mode = true;
    bool phase_compensation = false;
    std::string log_file;
    std::string phase_file;
};

struct InstrumentPageState {
    GeneratorGroup generator;
    AnalyzerGroup analyzer;
};

}  // namespace vantu
