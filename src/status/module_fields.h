// The values of one view decoded from the report arrays into a module's QRecords, and
// which of them count as faults.
#pragma once

#include <array>
#include <cstdint>

#include "status/module_table.h"
#include "status/report_memory.h"

namespace vantu {

// Numbered by the labels of the pages: TM1 ... TM5 and TM8.
enum ViewType : int {
    kViewQdxa = 1,
    kViewTxRx = 2,
    kViewVoltage = 3,
    kViewTemperature = 4,
    kViewSummary = 5,
    kViewDigitalId = 9,
};

// Fills the module's QRecords with the values of one view; false for an unknown view.
bool DecodeFields(const ReportMemory& report, ModuleRecord& record, int view_type);

// Values of a module view that count as faults: summary flags at 1, temperatures above
// 55 °C, supply flags at 0, Tx flags at 1, digital-ID bits at 0; for TM1 the faulty
// QDX-A flags, or on the temperature face the temperatures of 56 °C and more.
int ModuleFaultCount(const ModuleRecord& record, int view_type, bool qdxa_temperature);

// The four QDX-A flags of a Q channel in row order E0..E3 (fault, over-temperature, SP
// OK, voltage), and whether each means a fault.
constexpr std::array<std::uint8_t, kElements> QdxaFlags(const QRecord& q) {
    return {q.qdxa_fault, q.qdxa_overtemp, q.qdxa_sp_ok, q.qdxa_voltage};
}
constexpr std::array<bool, kElements> QdxaFaults(const QRecord& q) {
    return {q.qdxa_fault == 0, q.qdxa_overtemp == 1, q.qdxa_sp_ok == 0, q.qdxa_voltage == 0};
}

}  // namespace vantu
