// Where a module's Q-channel fields lie in the report arrays, and the digital-ID table
// rebuilt from `reg_sts`.
#pragma once

#include <array>
#include <cstdint>

#include "status/antenna_layout.h"

#include "status/report_memory.h"

namespace vantu {

enum class QFieldArray { kTrmSts, kQdxaSts, kTrmTxRx, kTrmPwr, kTrmTemp, kDigitalId };

// The field of Q channel q of the module at column/index: a 4-bit field of
// `reg_trm_sts`, a byte of `reg_qdxa_sts` or `reg_trm_txrx`, a 16-bit half of
// `reg_trm_pwr` or `reg_trm_temp`, or the slot's digital-ID byte.
std::uint32_t ReadQField(const ReportMemory& report, QFieldArray array, int column, int index,
                         int q);
// ReadQField of Q0 ... Q7 in one pass over the module's words.
std::array<std::uint32_t, kQChannels> ReadQFields(const ReportMemory& report, QFieldArray array,
                                                  int column, int index);

// Refills the digital-ID table from `reg_sts`: four slot bytes per word, least
// significant byte first; column 0 from words 128-131, columns 1-7 from 96 + 4 (7 - c),
// columns 8-13 from 132 + 4 (c - 8).
void RebuildDigitalIdTable(ReportMemory& report);

}  // namespace vantu
