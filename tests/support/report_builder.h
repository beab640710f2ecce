// Writes module fields into a host copy the way the card lays them out, and polls it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

#include "status/antenna_layout.h"
#include "status/report_fields.h"
#include "status/report_memory.h"
#include "status/report_watch.h"
#include "status/subsystem_health.h"

namespace vantu::testing {

inline void PutQField(ReportMemory& report, QFieldArray array, int module, int q,
                      std::uint32_t value) {
    const ModulePlace place = PlaceOfModule(module);
    const auto slot = static_cast<std::size_t>(ReportSlot(place.column, place.index));
    if (array == QFieldArray::kDigitalId) {
        report.digital_ids()[slot] = static_cast<std::uint8_t>(value);
        return;
    }
    // In QFieldArray order: a slot's eight fields fill a word of nibbles, two of bytes or
    // four of halves.
    const std::pair<ReportArray, std::uint32_t> layouts[] = {{ReportArray::kTrmSts, 4},
                                                             {ReportArray::kQdxaSts, 8},
                                                             {ReportArray::kTrmTxRx, 8},
                                                             {ReportArray::kTrmPwr, 16},
                                                             {ReportArray::kTrmTemp, 16}};
    const auto [words, bits] = layouts[static_cast<std::size_t>(array)];
    const std::uint32_t per_word = 32 / bits;
    const std::uint32_t mask = (1u << bits) - 1;
    const auto uq = static_cast<std::uint32_t>(q);
    std::uint32_t& word = report.array(words)[slot * (8 / per_word) + uq / per_word];
    const std::uint32_t shift = bits * (uq % per_word);
    word = (word & ~(mask << shift)) | ((value & mask) << shift);
}

// Supplies good, QDX-A flags normal, interfaces normal, every health bit and digital-ID
// bit set.
inline ReportMemory HealthyReport() {
    ReportMemory report;
    std::ranges::fill(report.array(ReportArray::kTrmPwr), 0xFFFFFFFFu);
    // Fault 1, over-temperature 0, SP OK 1, voltage 1.
    std::ranges::fill(report.array(ReportArray::kQdxaSts), 0xB0B0B0B0u);
    auto sts = report.array(ReportArray::kSts);
    sts[kSpInterfaceWord] = kInterfaceNormal;
    sts[kInternalInterfaceWord] = kInterfaceNormal;
    std::ranges::fill(sts.subspan(20, 8), 0xFFFFFFFFu);
    std::ranges::fill(report.digital_ids(), std::uint8_t{0xFF});
    return report;
}

// One poll cycle of the 14 blocks, block 5's poll as given; the last poll completes it.
inline void PollCycle(ReportWatch& watch, ReportMemory& report,
                      ReportPoll block5 = ReportPoll::kRead) {
    for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
        report.MarkCaptured(block);
        watch.Polled(block == 5 ? block5 : ReportPoll::kRead, block + 1 == kReportBlockCount);
    }
}

}  // namespace vantu::testing
