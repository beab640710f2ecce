#include "status/fault_sources.h"

#include <array>

#include "status/module_fields.h"
#include "status/module_table.h"
#include "status/subsystem_health.h"
#include "status/temperature.h"

namespace vantu {
namespace {

// Offsets of the kinds within one module's block of sources.
constexpr std::size_t kSupplyOffset = kElementSources;
constexpr std::size_t kTxOffset = kSupplyOffset + kElementSources * kSupplyCount;
constexpr std::size_t kQdxaOffset = kTxOffset + kElementSources;
constexpr std::size_t kOverTemperatureOffset = kQdxaOffset + kElementSources;
constexpr std::size_t kQdxaTemperatureOffset = kOverTemperatureOffset + kElementSources;
constexpr std::size_t kDigitalIdOffset = kQdxaTemperatureOffset + kQChannels;
constexpr std::size_t kAntennaFirst = kModuleCount * kSourcesPerModule;
constexpr std::size_t kHealthFirst = kAntennaFirst + kInterfaceWordCount;
constexpr std::size_t kInputPowerFirst = kHealthFirst + kHealthGroupCount;
static_assert(kDigitalIdOffset + kQChannels == kSourcesPerModule);

constexpr std::array<std::string_view, kSupplyCount> kSupplyNames = {"32V", "9.5V", "5V", "-6V"};
constexpr std::array<std::string_view, kElements> kQdxaFlagNames = {"fault", "overtemp", "SP OK",
                                                                    "voltage"};
constexpr std::array<std::string_view, kInterfaceWordCount> kInterfaceNames = {"SP", "internal"};
constexpr std::array<std::string_view, kHealthGroupCount> kHealthNames = {"power", "environment",
                                                                          "digital", "RF"};
constexpr std::array<std::string_view, kInputPowerCount> kInputPowerNames = {"EXCITER", "QTRM"};

std::size_t Cell(int q, int element) {
    return static_cast<std::size_t>(q * kElements + element);
}

void CollectModule(const ReportMemory& report, ModuleRecord& record, std::uint8_t* out) {
    for (int view :
         {kViewSummary, kViewVoltage, kViewTxRx, kViewQdxa, kViewTemperature, kViewDigitalId}) {
        DecodeFields(report, record, view);
    }
    for (int q = 0; q < kQChannels; ++q) {
        const QRecord& rec = record.q[static_cast<std::size_t>(q)];
        const auto flags = QdxaFaults(rec);
        out[kQdxaTemperatureOffset + static_cast<std::size_t>(q)] =
            rec.qdxa_temp >= kQdxaTemperatureFault;
        out[kDigitalIdOffset + static_cast<std::size_t>(q)] = rec.digital_id == 0;
        for (int e = 0; e < kElements; ++e) {
            const auto ue = static_cast<std::size_t>(e);
            const std::size_t cell = Cell(q, e);
            const std::array<std::uint8_t, kSupplyCount> supplies = {
                rec.supply_32v[ue], rec.supply_9v5[ue], rec.supply_5v[ue], rec.supply_neg6v[ue]};
            const bool hot = rec.temp[ue] > kTrmTemperatureLimit;
            bool named = rec.tx[ue] == 1 || hot;
            for (std::size_t s = 0; s < supplies.size(); ++s) {
                out[kSupplyOffset + cell * kSupplyCount + s] = supplies[s] == 0;
                named |= supplies[s] == 0;
            }
            out[kTxOffset + cell] = rec.tx[ue] == 1;
            // The status flag summarises the element's faults: one that a supply, the Tx
            // flag or the temperature already names is that alarm, not a second one.
            out[cell] = rec.trm_status[ue] == 1 && !named;
            out[kQdxaOffset + cell] = flags[ue];
            out[kOverTemperatureOffset + cell] = hot;
        }
    }
}

}  // namespace

std::size_t FaultIndex(const FaultSource& s) {
    const std::size_t module = static_cast<std::size_t>(s.module) * kSourcesPerModule;
    const auto item = static_cast<std::size_t>(s.item);
    switch (s.kind) {
        case FaultKind::kElement:
            return module + Cell(s.q, s.element);
        case FaultKind::kSupply:
            return module + kSupplyOffset + Cell(s.q, s.element) * kSupplyCount + item;
        case FaultKind::kTx:
            return module + kTxOffset + Cell(s.q, s.element);
        case FaultKind::kQdxaFlag:
            return module + kQdxaOffset + Cell(s.q, s.item);
        case FaultKind::kOverTemperature:
            return module + kOverTemperatureOffset + Cell(s.q, s.element);
        case FaultKind::kQdxaTemperature:
            return module + kQdxaTemperatureOffset + static_cast<std::size_t>(s.q);
        case FaultKind::kDigitalId:
            return module + kDigitalIdOffset + static_cast<std::size_t>(s.q);
        case FaultKind::kInterface:
            return kAntennaFirst + item;
        case FaultKind::kHealth:
            return kHealthFirst + item;
        case FaultKind::kInputPower:
            return kInputPowerFirst + item;
    }
    return kFaultSourceCount;
}

FaultSource FaultSourceAt(std::size_t index) {
    if (index >= kInputPowerFirst) {
        return {FaultKind::kInputPower, -1, -1, -1, static_cast<int>(index - kInputPowerFirst)};
    }
    if (index >= kHealthFirst) {
        return {FaultKind::kHealth, -1, -1, -1, static_cast<int>(index - kHealthFirst)};
    }
    if (index >= kAntennaFirst) {
        return {FaultKind::kInterface, -1, -1, -1, static_cast<int>(index - kAntennaFirst)};
    }
    const int module = static_cast<int>(index / kSourcesPerModule);
    const std::size_t offset = index % kSourcesPerModule;
    auto cell = [&](std::size_t c, FaultKind kind, int item) {
        const int q = static_cast<int>(c) / kElements;
        const int e = static_cast<int>(c) % kElements;
        return FaultSource{kind, module, q, e, item};
    };
    if (offset < kSupplyOffset) {
        return cell(offset, FaultKind::kElement, 0);
    }
    if (offset < kTxOffset) {
        const std::size_t rel = offset - kSupplyOffset;
        return cell(rel / kSupplyCount, FaultKind::kSupply, static_cast<int>(rel % kSupplyCount));
    }
    if (offset < kQdxaOffset) {
        return cell(offset - kTxOffset, FaultKind::kTx, 0);
    }
    if (offset < kOverTemperatureOffset) {
        const std::size_t rel = offset - kQdxaOffset;
        return {FaultKind::kQdxaFlag, module, static_cast<int>(rel) / kElements, -1,
                static_cast<int>(rel) % kElements};
    }
    if (offset < kQdxaTemperatureOffset) {
        return cell(offset - kOverTemperatureOffset, FaultKind::kOverTemperature, 0);
    }
    if (offset < kDigitalIdOffset) {
        return {FaultKind::kQdxaTemperature, module,
                static_cast<int>(offset - kQdxaTemperatureOffset), -1, 0};
    }
    return {FaultKind::kDigitalId, module, static_cast<int>(offset - kDigitalIdOffset), -1, 0};
}

std::string_view FaultKindName(FaultKind kind) {
    constexpr std::array<std::string_view, kFaultKindCount> kNames = {
        "element", "supply",   "tx",        "qdxa",       "interface",
        "health",  "overtemp", "qdxa-temp", "digital-id", "input-power"};
    return kNames[static_cast<std::size_t>(kind)];
}

std::string_view FaultItemName(const FaultSource& s) {
    const auto item = static_cast<std::size_t>(s.item);
    switch (s.kind) {
        case FaultKind::kElement:
            return "TRM";
        case FaultKind::kSupply:
            return kSupplyNames[item];
        case FaultKind::kTx:
            return "Tx";
        case FaultKind::kQdxaFlag:
            return kQdxaFlagNames[item];
        case FaultKind::kInterface:
            return kInterfaceNames[item];
        case FaultKind::kHealth:
            return kHealthNames[item];
        case FaultKind::kOverTemperature:
            return "TRM";
        case FaultKind::kQdxaTemperature:
            return "QDX-A";
        case FaultKind::kDigitalId:
            return "ID";
        case FaultKind::kInputPower:
            return kInputPowerNames[item];
    }
    return {};
}

void CollectFaults(const ReportMemory& report, std::span<std::uint8_t, kFaultSourceCount> faults) {
    ModuleRecord record;
    for (int module = 0; module < kModuleCount; ++module) {
        const ModulePlace place = PlaceOfModule(module);
        record.column = static_cast<std::uint8_t>(place.column);
        record.index = static_cast<std::uint8_t>(place.index);
        CollectModule(report, record,
                      faults.data() + static_cast<std::size_t>(module) * kSourcesPerModule);
    }
    std::uint8_t* antenna = faults.data() + kAntennaFirst;
    const auto reg_sts = report.reg_sts();
    antenna[0] = !InterfaceState(reg_sts[kSpInterfaceWord]);
    antenna[1] = !InterfaceState(reg_sts[kInternalInterfaceWord]);
    const HealthStates health = EvaluateHealth(reg_sts);
    antenna[2] = !health.power;
    antenna[3] = !health.environment;
    antenna[4] = !health.digital;
    antenna[5] = !health.rf;
    antenna[6] = health.exciter_input_fault;
    antenna[7] = health.qtrm_input_fault;
}

}  // namespace vantu
