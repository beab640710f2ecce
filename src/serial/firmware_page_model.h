// What the firmware version page shows, whether or not a window exists: the unit list,
// the module list and the read button with the progress of a running read; and how
// they are filled: the unit versions from the report words, the module versions from
// the monitor's version block, and the module list's spin control.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <span>
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

struct UnitPosition {
    int unit = 0;
    int position = 0;
};

// The QDX-B unit and position a module reports through: columns 0..7 belong to units
// 7..0, columns 8..13 to units 8..13; the SLB module is position 8 of unit 12.
UnitPosition UnitOfModule(int module);

// "%x" of a 16-bit half, with "." after the first digit when it is longer than 2
// (0x123 is 1.23, 0x45 stays 45).
std::string UnitVersionText(std::uint16_t half);

// Labels, unit names and the alternating row colours, once when the page is made.
void InitFirmwarePage(FirmwarePageModel& page);
// Module-number cells white, version cells empty on their own backgrounds.
void ClearModuleList(FirmwarePageModel& page);
// Versions "%.2x%.4x" of the present entries, entry 0 under Q7; a module with an
// absent entry gets a grey number cell.
void ShowModuleVersions(FirmwarePageModel& page, std::span<const std::uint8_t> block);
// Words 8..16 of `reg_sts`, high half and low half per unit row; the console gets a
// closing line of dashes.
void ShowUnitVersions(FirmwarePageModel& page, std::span<const std::uint32_t> reg_sts,
                      std::ostream& console);

// The spin control beside the module list, in five steps: each click (a position and
// an end notification on some platforms, one change here) moves the step down when
// the position is not greater than before, else up, and names the row to show.
class ModuleListSpin {
  public:
    int Scroll(int position);
    int step() const { return step_; }

  private:
    int step_ = 5;
    int previous_ = 500;
};

}  // namespace vantu
