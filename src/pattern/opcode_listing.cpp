#include "pattern/opcode_listing.h"

#include <charconv>
#include <cstdint>
#include <iterator>

namespace vantu {
namespace {

// At least two decimal digits, as %02zu writes them.
void AppendDecimal(std::string& out, std::size_t value) {
    if (value < 10) {
        out += '0';
    }
    char digits[24];
    out.append(digits, std::to_chars(digits, std::end(digits), value).ptr);
}

// Eight upper-case hexadecimal digits, as %08X writes them.
void AppendHex8(std::string& out, std::uint32_t value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = 28; shift >= 0; shift -= 4) {
        out += kDigits[(value >> shift) & 0xF];
    }
}

}  // namespace

// Written out by hand: a full load lists 2048 of these, and printf was a tenth of it.
std::string OpCodeListingLine(std::size_t word_index, const OpCodeEntry& entry) {
    std::string line;
    line.reserve(48);
    line += "cnt[";
    AppendDecimal(line, word_index);
    line += "] index[";
    AppendDecimal(line, word_index / 2);
    line += "] addr[";
    AppendHex8(line, entry.address);
    line += word_index % 2 == 0 ? "] code[" : "] cmd [";
    AppendHex8(line, entry.word);
    line += ']';
    return line;
}

}  // namespace vantu
