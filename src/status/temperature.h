// Temperature codes, limits, bar bands and the colour lookup of the temperature colour
// table, and the per-module display masks.
#pragma once

#include <array>
#include <cstdint>

#include "base/shared_settings.h"

namespace vantu {

using TempColourTable = std::array<TempColourRecord, kTempColourCount>;

inline constexpr int kNullColourRecord = 16;
// A TRM temperature above this is a fault.
inline constexpr int kTrmTemperatureLimit = 55;
// A QDX-A temperature at or above this is a fault.
inline constexpr int kQdxaTemperatureFault = 56;

// A 4-bit code n is 0 °C for n = 0, else 5n + 3 °C.
constexpr int TemperatureFromCode(std::uint32_t code) {
    code &= 0xF;
    // Without a branch: the codes of a report scatter.
    return 5 * static_cast<int>(code) + 3 * static_cast<int>(code != 0);
}

// The record of the colour table whose label band holds t, walking the labels as
// they stand in the table; 16 ("NULL") when none matches, as for band edges.
int TemperatureRecord(int celsius, const TempColourTable& table);
Colour TemperatureColour(int celsius, const TempColourTable& table);

// Bar display: band 0 up to 45 °C, band 2 from 46 to 55 °C, band 1 above.
constexpr int TemperatureBand(int celsius) {
    return celsius <= 45 ? 0 : celsius <= kTrmTemperatureLimit ? 2 : 1;
}
// t / 80 * 100, truncated.
constexpr int TemperatureBarPercent(int celsius) {
    return celsius * 100 / 80;
}

// Mask of one module: byte e is element row Ee, bit 7 - q shows Q channel q.
constexpr bool TemperatureShown(std::uint32_t mask, int element, int q) {
    return ((mask >> (8 * element)) & (0x80u >> q)) != 0;
}

// The colour of each temperature code, resolved once for a whole pass over the
// antenna; the record walk is too slow to repeat for every element.
class TemperaturePalette {
  public:
    explicit TemperaturePalette(const TempColourTable& table);
    Colour OfCode(std::uint32_t code) const { return colours_[code & 0xF]; }
    // Only for decoded temperatures (0, 8, 13 ... 78).
    Colour OfTemperature(int celsius) const {
        return by_temperature_[static_cast<std::size_t>(celsius) & 0xFF];
    }
    Colour null_colour() const { return null_colour_; }

  private:
    std::array<Colour, 16> colours_{};
    // colours_ at the decoded temperature of each code, so a lookup costs no arithmetic.
    std::array<Colour, 256> by_temperature_{};
    Colour null_colour_ = 0;
};

}  // namespace vantu
