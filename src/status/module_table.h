// The decoded status of the 161 modules. Every flag is one byte holding the report bit
// exactly as read (1 does not always mean fault); temperatures are in °C.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "status/antenna_layout.h"

namespace vantu {

struct QRecord {
    std::uint8_t qdxa_fault = 0;
    std::uint8_t qdxa_overtemp = 0;
    std::uint8_t qdxa_sp_ok = 0;
    std::uint8_t qdxa_voltage = 0;
    std::uint8_t qdxa_temp = 0;
    std::uint8_t digital_id = 0;
    std::array<std::uint8_t, kElements> trm_status{};
    std::array<std::uint8_t, kElements> tx{};
    std::array<std::uint8_t, kElements> rx{};
    std::array<std::uint8_t, kElements> supply_32v{};
    std::array<std::uint8_t, kElements> supply_9v5{};
    std::array<std::uint8_t, kElements> supply_5v{};
    std::array<std::uint8_t, kElements> supply_neg6v{};
    // The element's four supply flags as a nibble, +32V in bit 3 and -6V in bit 0.
    std::array<std::uint8_t, kElements> supply{};
    std::array<std::uint8_t, kElements> temp{};
};

struct ModuleRecord {
    std::uint8_t column = 0;
    std::uint8_t index = 0;
    std::uint8_t number = 0;
    std::array<QRecord, kQChannels> q{};
};

// Empty until built: decoding then refuses with -1.
struct ModuleTable {
    std::vector<ModuleRecord> records;

    bool built() const { return !records.empty(); }
    // Null when the table is not built or the number is outside 0..160.
    ModuleRecord* Find(int module);
    const ModuleRecord* Find(int module) const;
};

// Allocates the 161 zero-filled records and numbers them; record 160 is column 12,
// index 8, number 160.
void BuildModuleTable(ModuleTable& table);
void FreeModuleTable(ModuleTable& table);

}  // namespace vantu
