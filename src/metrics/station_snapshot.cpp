#include "metrics/station_snapshot.h"

#include "status/module_fields.h"

namespace vantu {
namespace {

constexpr ReportArray kAllArrays[] = {ReportArray::kSts,     ReportArray::kTrmSts,
                                      ReportArray::kQdxaSts, ReportArray::kTrmTxRx,
                                      ReportArray::kTrmPwr,  ReportArray::kTrmTemp};

bool WholeReportCaptured(const ReportMemory& report) {
    for (ReportArray array : kAllArrays) {
        if (!report.Captured(array)) {
            return false;
        }
    }
    return true;
}

ModuleSnapshot DecodeModule(const ReportMemory& report, const ModuleRecord& record) {
    ModuleRecord copy = record;
    ModuleSnapshot module;
    module.number = record.number;
    module.column = record.column;
    module.index = record.index;
    DecodeFields(report, copy, kViewSummary);
    module.faults = ModuleFaultCount(copy, kViewSummary, false);
    DecodeFields(report, copy, kViewTemperature);
    for (int q = 0; q < kQChannels; ++q) {
        for (int element = 0; element < kElements; ++element) {
            module.temperatures[q][element] = copy.q[q].temp[element];
        }
    }
    return module;
}

void TakeReportValues(const SnapshotSources& sources, bool whole, StationSnapshot& snapshot) {
    snapshot.sequencer_busy = sources.sequencer_busy && sources.sequencer_busy();
    snapshot.antenna_words = sources.report.Captured(ReportArray::kSts);
    if (snapshot.antenna_words) {
        const auto words = sources.report.reg_sts();
        snapshot.sp_interface_normal = InterfaceState(words[kSpInterfaceWord]);
        snapshot.internal_interface_normal = InterfaceState(words[kInternalInterfaceWord]);
        snapshot.health = EvaluateHealth(words);
    }
    if (sources.modules.built() && whole) {
        for (const ModuleRecord& record : sources.modules.records) {
            snapshot.modules.push_back(DecodeModule(sources.report, record));
        }
    }
}

}  // namespace

StationSnapshot TakeSnapshot(const SnapshotSources& sources, std::int64_t now_us) {
    StationSnapshot snapshot;
    snapshot.card_present = sources.flags.card_present;
    snapshot.server_open = sources.flags.server_open;
    snapshot.running = sources.main_page.running;
    const bool whole = WholeReportCaptured(sources.report);
    // A card that stops answering mid-cycle already shows in the host copy.
    snapshot.report_stale = sources.watch.stale() || (whole && !ReportReadable(sources.report));
    if (!snapshot.report_stale) {
        TakeReportValues(sources, whole, snapshot);
    }
    snapshot.poll = sources.poll;
    snapshot.poll.failures += sources.watch.unreadable_cycles();
    if (const std::optional<std::int64_t> read_us = sources.watch.last_read_us()) {
        snapshot.poll_age_seconds = static_cast<double>(now_us - *read_us) * 1e-6;
    }
    snapshot.remote = sources.remote;
    return snapshot;
}

}  // namespace vantu
