// The monitor's reply text cut into tokens and read as numbers, and the two data
// operations of the monitor client.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantu {

inline constexpr std::size_t kMaxReplyTokens = 16;
inline constexpr std::size_t kMaxTokenLength = 31;

// Upper-cases the reply in place and cuts it into tokens: "\r" and ">" are skipped,
// "," and "\n" end a token, empty tokens are not kept. The token count, or -1 when the
// only token is the request itself (the firmware echoed it and said nothing else).
int SplitReply(std::string& reply, std::string_view request, std::vector<std::string>& tokens);

// Up to `length` characters of text from `first`, read as hexadecimal ("0x" allowed);
// 0 when there are none.
std::uint32_t HexField(std::string_view text, std::size_t first, std::size_t length);

// Pairs of hex digits from `first` while the pair starts before `end`, into out; stops
// at the first pair that is not hex or when out is full. The number of bytes stored.
std::size_t HexPairs(std::string_view text, std::size_t first, std::size_t end,
                     std::span<std::uint8_t> out);

// Each output byte is its input byte with the bit order reversed.
void ReverseBits(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

// The initial value plus every complete group of 4 bytes read big-endian (wrapping).
std::uint32_t DataChecksum(std::uint32_t initial, std::span<const std::uint8_t> bytes);

}  // namespace vantu
