// A fault that cleared stays marked on the module views until the operator
// acknowledges it in the fault history, so a fault between two looks is not missed.
#pragma once

#include <span>

#include "status/cell_sink.h"
#include "status/fault_history.h"

namespace vantu {

// The element cells of one module in a module view, Q-major as the decoder lays them
// out (rows cells per Q channel): a normal cell whose source of the view is latched
// becomes kLatched. Views without fault sources are left alone.
void MarkLatched(const FaultHistory& history, int module, int view_type, int rows,
                 std::span<Cell> cells);
// Some source of the view's kind in the module is latched.
bool ModuleLatched(const FaultHistory& history, int module, int view_type);

}  // namespace vantu
