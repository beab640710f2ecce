// vantu-monitor: a service tool for the QDX-A firmware's serial monitor. It reads the
// module versions the way the firmware page does, sends single monitor commands, and
// serves the simulated firmware on a pseudo-terminal for terminal programs.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace vantu {

// args without the program name; station_dir holds setup.ini and simulation.ini.
// The exit status: 0, or 1 after one line on err.
int RunMonitorTool(std::span<const std::string_view> args, const std::string& station_dir,
                   std::ostream& out, std::ostream& err);

}  // namespace vantu
