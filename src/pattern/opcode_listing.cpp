#include "pattern/opcode_listing.h"

#include <cstdio>

namespace vantu {

std::string OpCodeListingLine(std::size_t word_index, const OpCodeEntry& entry) {
    char line[96];
    std::snprintf(line, sizeof line, "cnt[%02zu] index[%02zu] addr[%08X] %s[%08X]", word_index,
                  word_index / 2, static_cast<unsigned>(entry.address),
                  word_index % 2 == 0 ? "code" : "cmd ", static_cast<unsigned>(entry.word));
    return line;
}

}  // namespace vantu
