// Writes module fields into a host copy the way the card lays them out.
#pragma once

#include <cstdint>

#include "status/antenna_layout.h"
#include "status/report_fields.h"
#include "status/report_memory.h"
#include "status/subsystem_health.h"

namespace vantu::testing {

inline void PutQField(ReportMemory& report, QFieldArray array, int module, int q,
                      std::uint32_t value) {
    const ModulePlace place = PlaceOfModule(module);
    const auto slot = static_cast<std::size_t>(ReportSlot(place.column, place.index));
    const auto uq = static_cast<std::uint32_t>(q);
    auto put = [](std::uint32_t& word, std::uint32_t shift, std::uint32_t mask, std::uint32_t v) {
        word = (word & ~(mask << shift)) | ((v & mask) << shift);
    };
    switch (array) {
        case QFieldArray::kTrmSts:
            put(report.array(ReportArray::kTrmSts)[slot], 4 * uq, 0xF, value);
            break;
        case QFieldArray::kQdxaSts:
            put(report.array(ReportArray::kQdxaSts)[slot * 2 + uq / 4], 8 * (uq % 4), 0xFF, value);
            break;
        case QFieldArray::kTrmTxRx:
            put(report.array(ReportArray::kTrmTxRx)[slot * 2 + uq / 4], 8 * (uq % 4), 0xFF, value);
            break;
        case QFieldArray::kTrmPwr:
            put(report.array(ReportArray::kTrmPwr)[slot * 4 + uq / 2], 16 * (uq % 2), 0xFFFF,
                value);
            break;
        case QFieldArray::kTrmTemp:
            put(report.array(ReportArray::kTrmTemp)[slot * 4 + uq / 2], 16 * (uq % 2), 0xFFFF,
                value);
            break;
        case QFieldArray::kDigitalId:
            report.digital_ids()[slot] = static_cast<std::uint8_t>(value);
            break;
    }
}

// Supplies good, QDX-A flags normal, interfaces normal, every health bit and digital-ID
// bit set.
inline ReportMemory HealthyReport() {
    ReportMemory report;
    for (std::uint32_t& word : report.array(ReportArray::kTrmPwr)) {
        word = 0xFFFFFFFF;
    }
    for (std::uint32_t& word : report.array(ReportArray::kQdxaSts)) {
        word = 0xB0B0B0B0;  // fault 1, over-temperature 0, SP OK 1, voltage 1
    }
    auto sts = report.array(ReportArray::kSts);
    sts[kSpInterfaceWord] = kInterfaceNormal;
    sts[kInternalInterfaceWord] = kInterfaceNormal;
    for (std::size_t w = 20; w <= 27; ++w) {
        sts[w] = 0xFFFFFFFF;
    }
    for (std::uint8_t& id : report.digital_ids()) {
        id = 0xFF;
    }
    return report;
}

}  // namespace vantu::testing
