// Reading what a station wrote: whole files, and the messages of its timed log lines.
#pragma once

#include <string>
#include <vector>

namespace vantu::testing {

std::string ReadFile(const std::string& path);

// The messages of the timed lines of a station log (operation log, op_code.log): UTF-8,
// without their "date  time," prefix. Untimed lines (the header) are skipped.
std::vector<std::string> LogMessages(const std::string& path);
// The last of them; empty when there is none, as when a run crossed midnight into
// another day's log.
std::string LastLogMessage(const std::string& path);

// The operation log a station in that directory opens today.
std::string TodayLogPath(const std::string& station_dir);

}  // namespace vantu::testing
