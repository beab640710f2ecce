// Erasing, programming and verifying a flash image file on the card's serial flash,
// with progress marks and totals on standard error.
#pragma once

#include <cstdint>
#include <string>

namespace vantu {

inline constexpr const char* kFlashImageName = "pxiectrl_top.bin";

// 0 = verified, 1 = verify errors, -1 = the file could not be opened.
int ProgramFlashImage(const std::string& image_path, std::uint32_t start_address);

}  // namespace vantu
