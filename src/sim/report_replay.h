// Report snapshots recorded by the station's save of all report words (the
// qdxa_rpt_reg.log, several saves in a row), for the simulated card to show again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "card/bar0_map.h"

namespace vantu {

using ReportSnapshot = std::array<std::uint32_t, kReportWords>;

// A replay holds at most this many saves (14 KiB each), however many headers a log has.
inline constexpr std::size_t kMaxReplaySnapshots = 256;
// A real save is about 320 KB of text.
inline constexpr std::size_t kMaxReplayLogBytes = std::size_t{96} << 20;

// One snapshot per save, in the order of the file, up to max_snapshots. Each save starts
// from the one before it, so a save cut short keeps the words it did not reach; lines
// that are not word lines are skipped.
std::vector<ReportSnapshot> ReadReportSnapshots(std::string_view log, std::size_t max_snapshots);
// Empty when the file cannot be read; a refused file or a cut replay is named on stderr.
std::vector<ReportSnapshot> LoadReportSnapshots(const std::string& path);

}  // namespace vantu
