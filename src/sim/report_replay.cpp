#include "sim/report_replay.h"

#include <cstdio>
#include <fstream>

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

std::vector<ReportSnapshot> ReadReportSnapshots(std::istream& log) {
    std::vector<ReportSnapshot> snapshots;
    std::string line;
    while (std::getline(log, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line == kSaveHeader) {
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
    std::ifstream log(path, std::ios::binary);
    return log ? ReadReportSnapshots(log) : std::vector<ReportSnapshot>{};
}

}  // namespace vantu
