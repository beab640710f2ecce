// The state a cell shows beside its colour, so the pages read in greyscale and for
// operators who do not tell red from green.
#pragma once

#include <cstdint>

namespace vantu {

enum class CellMark : std::uint8_t {
    kNone,       // nothing to say: a label, a hidden value
    kNormal,     // ✓
    kFault,      // ✗
    kNearLimit,  // ▲ a temperature between its warning band and its limit
    kLatched,    // ! a fault that cleared and is not yet acknowledged
    kNoData,     // ? nothing read yet
};

}  // namespace vantu
