// The whole antenna as the benchmarks refresh it: a decoder over a report whose
// element temperatures change every pass.
#pragma once

#include <cstdint>

#include "base/settings.h"
#include "status/module_table.h"
#include "status/status_colours.h"
#include "status/status_decoder.h"

namespace vantu::bench {

constexpr int kRows = 60;
constexpr int kColumns = 115;

// Element temperatures scattered over all 16 codes, so neighbouring cells rarely share
// a colour; every pass flips bit 3 of each code, so every element cell changes.
struct Antenna {
    Antenna() {
        BuildModuleTable(table);
        for (int i = 0; i < kTempColourCount; ++i) {
            shared.temp_colours[static_cast<std::size_t>(i)] = {TempColourKey(i),
                                                                Rgb(15 * i, 255 - 15 * i, 80)};
        }
        shared.temp_masks.fill(0xFFFFFFFF);
        std::uint32_t seed = 12345;
        for (std::uint32_t& word : report.array(ReportArray::kTrmTemp)) {
            seed = seed * 1664525u + 1013904223u;
            word = seed;
        }
    }
    void Flip() {
        for (std::uint32_t& word : report.array(ReportArray::kTrmTemp)) {
            word ^= 0x88888888u;
        }
    }

    ModuleTable table;
    ReportMemory report;
    SharedSettings shared;
    StatusDecoder decoder{table, report, shared};
};

}  // namespace vantu::bench
