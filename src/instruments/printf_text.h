// printf-style formatting into a string of any length, for the fixed message
// layouts of the instrument groups ("%.3f", "0x%x, ").
#pragma once

#include <string>

namespace vantu {

[[gnu::format(printf, 1, 2)]] std::string PrintfText(const char* format, ...);

}  // namespace vantu
