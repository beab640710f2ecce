// Number conversion with the forgiving rules of the settings file and the remote
// commands: leading blanks skipped, leading digits taken, no number gives 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantu {

// Optional blanks, optional sign, decimal digits. Saturates at the int range.
std::int32_t ParseDecimal(std::string_view text);

// Optional blanks, optional "0x"/"0X", hexadecimal digits; the low 32 bits are kept.
std::uint32_t ParseHex(std::string_view text);

// The same rules, but text without digits or a number with more than 32 significant bits
// is no number at all (leading zeros do not count), so a command never acts on a value
// the client did not send.
std::optional<std::uint32_t> ParseHex32(std::string_view text);

}  // namespace vantu
