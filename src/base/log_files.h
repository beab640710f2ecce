// The operation log (Log/<y>-<m>-<d>.log), the fault log (Log/<y>-<m>-<d>.faults.csv),
// op_code.log and qdxa_rpt_reg.log.
// Every line is opened, appended and closed on its own, so the files are complete on
// disk after each call and other programs can read them while the station runs.
// Failures are silent: the line is lost and the caller goes on. A line the disk had no
// room for is taken out again, so every file stays whole lines; the first such loss is
// named on stderr.
#pragma once

#include <string>
#include <string_view>

#include "base/ports.h"

namespace vantu {

inline constexpr std::string_view kLogSeparator = "--------------------------";

class LogFiles {
  public:
    LogFiles(std::string station_dir, Clock& clock);

    // Fixes the operation log path from today's date and writes the header when the
    // file does not exist yet. The Log directory is never created.
    void OpenLog();
    void AppendLog(std::string_view message);
    void AppendOpCodeLog(std::string_view text, bool restart);
    void WriteReportLog(std::string_view text, bool line_feed);
    // One UTF-8 line of the fault log of the line's own day; a new file starts with
    // `header`. The Log directory is never created.
    void AppendFaultLog(const LocalTime& day, std::string_view header, std::string_view line);

    const std::string& log_path() const { return log_path_; }
    const std::string& station_dir() const { return station_dir_; }

  private:
    std::string TimedLine(std::string_view message);
    // "2026-12-5  09:04:07," of now; made again only when the second changed.
    const std::string& TimePrefix();
    void AppendBytes(const std::string& path, std::string_view bytes, int extra_flags);
    void ReportLostLine(const std::string& path, int reason);

    std::string station_dir_;
    Clock& clock_;
    std::string op_code_path_;
    std::string log_path_;
    LocalTime prefix_time_;
    std::string prefix_;
    bool lost_line_reported_ = false;
};

// "2026-12-5" of a local time: no leading zeros.
std::string DateText(const LocalTime& time);

}  // namespace vantu
