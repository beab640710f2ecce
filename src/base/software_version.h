// The version every program of the station reports, the station's own included.
#pragma once

#include <string_view>

namespace vantu {

inline constexpr std::string_view kSoftwareVersion = "VANTU V1.22";
// The version alone, without the product name.
inline constexpr std::string_view kVersionNumber = kSoftwareVersion.substr(6);

}  // namespace vantu
