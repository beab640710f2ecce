#include "base/log_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "base/encoding.h"

namespace vantu {
namespace {

// "[ VANTU 記錄檔 ]", an empty line and "時間,  事件" in Big5.
constexpr std::string_view kLogHeader =
    "\x5B\x20\x56\x41\x4E\x54\x55\x20\xB0\x4F\xBF\xFD\xC0\xC9\x20\x5D\x0A\x0A"
    "\xAE\xC9\xB6\xA1\x2C\x20\x20\xA8\xC6\xA5\xF3\x0A";

// The bytes written before the first failure.
std::size_t WriteWhole(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    return written;
}

bool SameSecond(const LocalTime& a, const LocalTime& b) {
    return a.second == b.second && a.minute == b.minute && a.hour == b.hour && a.day == b.day &&
           a.month == b.month && a.year == b.year;
}

}  // namespace

// One open-write-close; the bytes go out in a single write so a line is never split
// between two writers. A short write (a full disk) would leave a line without its end,
// and the next line glued onto it once space returns: the part written is cut off again.
void LogFiles::AppendBytes(const std::string& path, std::string_view bytes, int extra_flags) {
    if (path.empty()) {
        return;
    }
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | extra_flags, 0644);
    if (fd < 0) {
        return;
    }
    const std::size_t written = WriteWhole(fd, bytes);
    if (written < bytes.size()) {
        const int reason = errno;
        const off_t end = ::lseek(fd, 0, SEEK_END);
        if (written > 0 && end >= static_cast<off_t>(written)) {
            // Should the cut fail too, the lost line is still reported below.
            [[maybe_unused]] const int cut = ::ftruncate(fd, end - static_cast<off_t>(written));
        }
        ReportLostLine(path, reason);
    }
    ::close(fd);
}

void LogFiles::ReportLostLine(const std::string& path, int reason) {
    if (!lost_line_reported_) {
        lost_line_reported_ = true;
        std::fprintf(stderr, "vantu: log lines are lost: %s: %s\n", path.c_str(),
                     std::strerror(reason));
    }
}

std::string DateText(const LocalTime& time) {
    char text[48];
    std::snprintf(text, sizeof text, "%d-%d-%d", time.year, time.month, time.day);
    return text;
}

LogFiles::LogFiles(std::string station_dir, Clock& clock)
    : station_dir_(std::move(station_dir)),
      clock_(clock),
      op_code_path_(station_dir_ + "/op_code.log") {}

void LogFiles::OpenLog() {
    log_path_ = station_dir_ + "/Log/" + DateText(clock_.Now()) + ".log";
    int fd = ::open(log_path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    AppendBytes(log_path_, kLogHeader, 0);
}

const std::string& LogFiles::TimePrefix() {
    const LocalTime now = clock_.Now();
    if (prefix_.empty() || !SameSecond(now, prefix_time_)) {
        char prefix[64];
        std::snprintf(prefix, sizeof prefix, "%s  %02d:%02d:%02d,", DateText(now).c_str(), now.hour,
                      now.minute, now.second);
        prefix_ = prefix;
        prefix_time_ = now;
    }
    return prefix_;
}

// The prefix is ASCII, the same in CP950: only the message is converted.
std::string LogFiles::TimedLine(std::string_view message) {
    const std::string& prefix = TimePrefix();
    const std::string text = ToAnsi(message);
    std::string bytes;
    bytes.reserve(prefix.size() + text.size() + 1);
    bytes.append(prefix).append(text).append(1, '\n');
    return bytes;
}

void LogFiles::AppendLog(std::string_view message) {
    AppendBytes(log_path_, TimedLine(message), 0);
}

void LogFiles::AppendOpCodeLog(std::string_view text, bool restart) {
    AppendBytes(op_code_path_, TimedLine(text), restart ? O_TRUNC : 0);
}

void LogFiles::WriteReportLog(std::string_view text, bool line_feed) {
    std::string bytes = ToAnsi(text);
    if (line_feed) {
        bytes += '\n';
    }
    AppendBytes(station_dir_ + "/qdxa_rpt_reg.log", bytes, 0);
}

void LogFiles::AppendFaultLog(const LocalTime& day, std::string_view header,
                              std::string_view line) {
    const std::string path = station_dir_ + "/Log/" + DateText(day) + ".faults.csv";
    std::string bytes(line);
    bytes += '\n';
    // O_EXCL: only the writer that creates the file writes its header.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
        AppendBytes(path, std::string(header) + '\n', 0);
    }
    AppendBytes(path, bytes, 0);
}

}  // namespace vantu
