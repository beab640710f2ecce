// What the generator and analyzer groups of the signal-analyzer page show, whether
// or not a window exists. The Qt page draws this and forwards the operator's clicks.
#pragma once

#include <array>
#include <string>

#include "base/shared_settings.h"

namespace vantu {

// The page's flags in the shared settings block.
inline constexpr std::size_t kSharedGeneratorOpen = 0;
inline constexpr std::size_t kSharedRfOn = 1;
inline constexpr std::size_t kSharedTriggerMeasurement = 2;

inline constexpr std::array<const char*, 3> kPulseItems = {" Not Pulsed", " Rising Edge",
                                                           " Falling Edge"};

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
