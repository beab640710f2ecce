#include "status/report_watch.h"

#include <algorithm>

namespace vantu {
namespace {

bool SupplyBlock(std::uint32_t block) {
    const ReportArrayInfo& pwr = InfoOf(ReportArray::kTrmPwr);
    const std::size_t first = block * kReportBlockWords;
    return first >= pwr.first_word && first + kReportBlockWords <= pwr.first_word + pwr.words;
}

}  // namespace

bool ReportReadable(const ReportMemory& report) {
    for (std::size_t array = 0; array < kReportArrays.size(); ++array) {
        if (!report.Captured(static_cast<ReportArray>(array))) {
            return false;
        }
    }
    const auto words = report.sys_rpt_reg();
    for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
        const auto first = words.begin() + block * kReportBlockWords;
        if (!SupplyBlock(block) && std::all_of(first, first + kReportBlockWords,
                                               [](std::uint32_t w) { return w == 0xFFFFFFFF; })) {
            return false;
        }
    }
    return true;
}

ReportWatch::ReportWatch(const ReportMemory& report, Clock& clock, LogFiles* log)
    : report_(report), clock_(clock), history_(log), faults_(kFaultSourceCount) {}

void ReportWatch::Polled(ReportPoll poll, bool cycle_done) {
    if (poll == ReportPoll::kNone) {
        return;
    }
    cycle_failed_ |= poll == ReportPoll::kFailed;
    if (cycle_done) {
        CycleDone();
        cycle_failed_ = false;
    }
}

void ReportWatch::CycleDone() {
    const bool readable = ReportReadable(report_);
    stale_ = cycle_failed_ || !readable;
    if (stale_) {
        unreadable_cycles_ += cycle_failed_ ? 0 : 1;
        return;
    }
    last_read_ = clock_.Now();
    last_read_us_ = clock_.Microseconds();
    if (recording_) {
        CollectFaults(report_, std::span<std::uint8_t, kFaultSourceCount>(faults_));
        history_.Record(std::span<const std::uint8_t, kFaultSourceCount>(faults_), *last_read_);
        trend_.Add(report_, *last_read_, last_read_us_);
    }
}

std::optional<std::int64_t> ReportWatch::last_read_us() const {
    if (!last_read_) {
        return std::nullopt;
    }
    return last_read_us_;
}

std::int64_t ReportWatch::AgeSeconds() const {
    if (!last_read_) {
        return -1;
    }
    return (clock_.Microseconds() - last_read_us_) / 1000000;
}

}  // namespace vantu
