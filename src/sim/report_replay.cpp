#include "sim/report_replay.h"

#include <cstdio>
#include <optional>

#include "base/file_bytes.h"

namespace vantu {
namespace {

constexpr std::string_view kSaveHeader = "update_qdxa_rpt_reg [0] ~ [13]";

// "Index[0x004] reg_mem[0x8804] sys_rpt_reg [0x...] value[0x00000000]   reg_sts[256]-I[001]"
bool ParseWordLine(const std::string& line, std::uint32_t& index, std::uint32_t& value) {
    const std::size_t offset_at = line.find("reg_mem[0x");
    const std::size_t value_at = line.find("value[0x");
    unsigned offset = 0;
    unsigned word = 0;
    if (offset_at == std::string::npos || value_at == std::string::npos ||
        std::sscanf(line.c_str() + offset_at, "reg_mem[0x%x]", &offset) != 1 ||
        std::sscanf(line.c_str() + value_at, "value[0x%x]", &word) != 1 || offset < kReportMemory ||
        offset % 4 != 0 || (offset - kReportMemory) / 4 >= kReportWords) {
        return false;
    }
    index = (offset - kReportMemory) / 4;
    value = word;
    return true;
}

}  // namespace

std::vector<ReportSnapshot> ReadReportSnapshots(std::string_view log, std::size_t max_snapshots) {
    std::vector<ReportSnapshot> snapshots;
    while (!log.empty()) {
        const std::size_t end = log.find('\n');
        std::string line(log.substr(0, end));
        log.remove_prefix(end == std::string_view::npos ? log.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line == kSaveHeader) {
            if (snapshots.size() == max_snapshots) {
                break;
            }
            snapshots.push_back(snapshots.empty() ? ReportSnapshot{} : snapshots.back());
            continue;
        }
        std::uint32_t index = 0;
        std::uint32_t value = 0;
        if (!snapshots.empty() && ParseWordLine(line, index, value)) {
            snapshots.back()[index] = value;
        }
    }
    return snapshots;
}

std::vector<ReportSnapshot> LoadReportSnapshots(const std::string& path) {
    const std::optional<std::string> log = ReadStoredFile(path, kMaxReplayLogBytes);
    if (!log) {
        return {};
    }
    // One more than kept tells a cut replay from one that just fits.
    std::vector<ReportSnapshot> snapshots = ReadReportSnapshots(*log, kMaxReplaySnapshots + 1);
    if (snapshots.size() > kMaxReplaySnapshots) {
        snapshots.pop_back();
        std::fprintf(stderr, "vantu: %s: only the first %zu saves are replayed\n", path.c_str(),
                     kMaxReplaySnapshots);
    }
    return snapshots;
}

}  // namespace vantu
