// What the station shows to monitoring systems, copied out of the controller's models
// at one moment: run state, interfaces, health groups, per-module faults and element
// temperatures, the report poll, the remote commands and the alarm load.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "controller/controller_flags.h"
#include "model/main_page_model.h"
#include "remote/latency_histogram.h"
#include "status/antenna_layout.h"
#include "status/fault_history.h"
#include "status/module_table.h"
#include "status/report_capture.h"
#include "status/report_memory.h"
#include "status/report_watch.h"
#include "status/subsystem_health.h"

namespace vantu {

struct ModuleSnapshot {
    int number = 0;
    int column = 0;
    int index = 0;
    int faults = 0;  // as the summary view counts them
    // °C, by Q channel then element.
    std::array<std::array<int, kElements>, kQChannels> temperatures{};
};

struct StationSnapshot {
    bool card_present = false;
    bool server_open = false;
    bool running = false;
    // The last report cycle could not be read (or the host copy now holds a block of
    // all ones): nothing below is taken from the report, and the sequencer is not asked.
    bool report_stale = false;
    // The card's sequencer busy bit, whoever started the code; false when stale.
    bool sequencer_busy = false;
    // The antenna words (interfaces, health) come from a report block read since start.
    bool antenna_words = false;
    bool sp_interface_normal = false;
    bool internal_interface_normal = false;
    HealthStates health;
    // Empty until every report block has been read.
    std::vector<ModuleSnapshot> modules;
    // Failures count the unreadable cycles too.
    PollCounters poll;
    // Since the last readable report cycle.
    std::optional<double> poll_age_seconds;
    LatencyHistogram remote;
    AlarmFigures alarms;
};

// The controller's state the snapshot is taken from.
struct SnapshotSources {
    const ControllerFlags& flags;
    const MainPageModel& main_page;
    const ReportMemory& report;
    const ModuleTable& modules;
    const PollCounters& poll;
    const ReportWatch& watch;
    const LatencyHistogram& remote;
    // Reads the sequencer's busy bit from the card.
    std::function<bool()> sequencer_busy;
};

// Modules are decoded into copies: the pages' own table is left as it is.
StationSnapshot TakeSnapshot(const SnapshotSources& sources, std::int64_t now_us);

}  // namespace vantu
