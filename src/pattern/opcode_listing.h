// One word of a load as op_code.log (and the pattern tool) lists it.
#pragma once

#include <cstddef>
#include <string>

#include "pattern/opcode_table.h"

namespace vantu {

// "cnt[..] index[..] addr[........] code[........]" for a parameter word (even index),
// "... cmd [........]" for a command word; index is the pair.
std::string OpCodeListingLine(std::size_t word_index, const OpCodeEntry& entry);

}  // namespace vantu
