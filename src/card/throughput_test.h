// Block write / block read / compare runs on a BAR 0 range, with timings and
// mismatches printed on standard output.
#pragma once

#include <cstdint>

#include "card/card_handle.h"

namespace vantu {

inline constexpr int kThroughputRefused = -1;

// Gives the total number of mismatching words over all runs, or kThroughputRefused
// when the driver refused a block access (its status text then on standard error).
int RunMemoryThroughputTest(CardHandle card, std::uint32_t offset, std::uint32_t bytes,
                            std::uint32_t runs);

}  // namespace vantu
