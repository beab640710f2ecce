// The colours the decoders hand to the views: one vocabulary of states.
#pragma once

#include <cstdint>

#include "base/shared_settings.h"

namespace vantu {

constexpr Colour Rgb(int r, int g, int b) {
    return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}

// Not a COLORREF (the top byte is never set): the cell keeps the colour it has.
inline constexpr Colour kKeepColour = 0xFFFFFFFFu;

inline constexpr Colour kBlack = Rgb(0, 0, 0);
inline constexpr Colour kWhite = Rgb(255, 255, 255);
inline constexpr Colour kFaultText = Rgb(210, 0, 0);
inline constexpr Colour kQdxaFaultText = Rgb(200, 0, 0);
inline constexpr Colour kSummaryFault = Rgb(210, 0, 0);
inline constexpr Colour kSummaryNormal = Rgb(0, 210, 0);
inline constexpr Colour kTxFault = Rgb(150, 0, 0);
inline constexpr Colour kTxNormal = Rgb(0, 150, 0);
inline constexpr Colour kModuleFaultBackground = Rgb(130, 0, 50);
inline constexpr Colour kModuleFaultText = Rgb(200, 200, 200);
inline constexpr Colour kModuleNormalBackground = Rgb(200, 200, 200);
inline constexpr Colour kModuleNormalText = kBlack;
inline constexpr Colour kInterfaceNormalBackground = Rgb(120, 120, 120);
inline constexpr Colour kInterfaceFaultBackground = Rgb(130, 0, 50);
inline constexpr Colour kFaultTotalText = Rgb(250, 250, 250);

}  // namespace vantu
