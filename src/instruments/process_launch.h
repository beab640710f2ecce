// Starts the analysis software's launcher as a process of its own session, with no
// terminal, and waits a bounded time for the launcher to finish.
#pragma once

#include <string>

#include "base/ports.h"

namespace vantu {

// true when the program started; waits up to wait_ms for it to end.
bool LaunchDetached(const std::string& program, const std::string& working_dir, int wait_ms,
                    Clock& clock);

}  // namespace vantu
