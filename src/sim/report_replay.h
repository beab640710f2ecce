// Report snapshots recorded by the station's save of all report words (the
// qdxa_rpt_reg.log, several saves in a row), for the simulated card to show again.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "card/bar0_map.h"

namespace vantu {

using ReportSnapshot = std::array<std::uint32_t, kReportWords>;

// One snapshot per save, in the order of the file. Each save starts from the one before
// it, so a save cut short keeps the words it did not reach; lines that are not word
// lines are skipped.
std::vector<ReportSnapshot> ReadReportSnapshots(std::istream& log);
// Empty when the file cannot be read.
std::vector<ReportSnapshot> LoadReportSnapshots(const std::string& path);

}  // namespace vantu
