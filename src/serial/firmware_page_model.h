// What the firmware version page shows, whether or not a window exists: the unit list,
// the module list and the read button with the progress of a running read.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "base/shared_settings.h"
#include "model/cell_mark.h"

namespace vantu {

inline constexpr int kUnitRows = 9;
inline constexpr int kUnitColumns = 7;
inline constexpr int kModuleListColumns = 17;

struct FirmwareCell {
    std::string text;
    Colour background = 0x00FFFFFF;
    Colour text_colour = 0;
    CellMark mark = CellMark::kNone;
};

struct FirmwarePageModel {
    std::array<std::array<FirmwareCell, kUnitColumns>, kUnitRows> units{};
    std::array<std::array<FirmwareCell, kModuleListColumns>, kModuleCount> modules{};
    // Control 1136: disabled while the serial link is open.
    bool read_enabled = true;
    // A version read is running; progress counts its reply bytes so far.
    bool reading = false;
    std::size_t progress = 0;
    std::size_t progress_total = 0;
    // Why the last read showed less than every module (line lost, short reply); empty
    // after a whole read.
    std::string warning;
};

}  // namespace vantu
