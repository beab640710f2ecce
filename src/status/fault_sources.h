// Every report value the fault history follows, as the pages count them: the status,
// supplies, Tx flags, temperatures and QDX-A flags of each module's Q channels, their
// QDX-A temperatures and digital IDs, the two interface words, the four health groups
// and the two input powers, numbered densely so one tick's faults fit in a byte array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "status/antenna_layout.h"
#include "status/report_memory.h"

namespace vantu {

enum class FaultKind : std::uint8_t {
    kElement,
    kSupply,
    kTx,
    kQdxaFlag,
    kInterface,
    kHealth,
    kOverTemperature,  // a TRM element above 55 °C
    kQdxaTemperature,  // a QDX-A unit at 56 °C or more
    kDigitalId,        // a Q channel's digital-ID bit at 0
    kInputPower,       // the EXCITER or QTRM input power
};
inline constexpr int kFaultKindCount = 10;

inline constexpr int kSupplyCount = 4;  // 32 V, 9.5 V, 5 V, -6 V
inline constexpr int kInterfaceWordCount = 2;
inline constexpr int kHealthGroupCount = 4;
inline constexpr int kInputPowerCount = 2;  // EXCITER, QTRM
inline constexpr std::size_t kElementSources = kQChannels * kElements;
// Per element: status, supplies, Tx, QDX-A flag row, over-temperature; per Q channel:
// QDX-A temperature and digital ID.
inline constexpr std::size_t kSourcesPerModule =
    kElementSources * (4 + kSupplyCount) + 2 * kQChannels;
inline constexpr std::size_t kFaultSourceCount =
    kModuleCount * kSourcesPerModule + kInterfaceWordCount + kHealthGroupCount + kInputPowerCount;

// module, q and element are -1 where the kind has none (the antenna-wide words, the
// QDX-A flags' rows); item is the supply, QDX-A flag, interface word or health group.
struct FaultSource {
    FaultKind kind = FaultKind::kElement;
    int module = -1;
    int q = -1;
    int element = -1;
    int item = 0;

    bool operator==(const FaultSource&) const = default;
};

std::size_t FaultIndex(const FaultSource& source);
FaultSource FaultSourceAt(std::size_t index);

// "element", "supply", "tx", "qdxa", "interface", "health", "overtemp", "qdxa-temp",
// "digital-id", "input-power".
std::string_view FaultKindName(FaultKind kind);
// What failed: "TRM", "32V", "Tx", "fault", "SP", "power" ...
std::string_view FaultItemName(const FaultSource& source);

// One byte per source, 1 for a fault, as the pages count them.
void CollectFaults(const ReportMemory& report, std::span<std::uint8_t, kFaultSourceCount> faults);

}  // namespace vantu
