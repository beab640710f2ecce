// The settings block every page shares with the main controller.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vantu {

inline constexpr int kTempColourCount = 17;
inline constexpr int kModuleCount = 161;

// Colours are 0x00BBGGRR throughout, as stored in setup.ini.
using Colour = std::uint32_t;

struct TempColourRecord {
    std::string label;
    Colour colour = 0;
};

enum DisplayMode : std::int32_t {
    kDisplayQdxaTemperature = 1,
    kDisplayTrmTxRx = 2,
    kDisplayTrmTemperature = 4,
    kDisplayTrmStatus = 5,
};

struct SharedSettings {
    std::int32_t colour_table_column = 0;
    std::int32_t colour_table_row = 0;
    std::array<TempColourRecord, kTempColourCount> temp_colours{};
    bool settings_loaded = false;
    Colour ref_line_colour = 0;
    // The main page starts on TRM temperature, with or without a window to show it.
    std::int32_t display_mode = kDisplayTrmTemperature;
    // Per module: byte 3 = element row E3 ... byte 0 = E0.
    std::array<std::uint32_t, kModuleCount> temp_masks{};
    bool vsa_open = false;
    bool os_64bit = false;
    std::array<bool, 3> analyzer_flags{};
};

}  // namespace vantu
