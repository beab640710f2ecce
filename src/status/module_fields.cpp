#include "status/module_fields.h"

#include "status/report_fields.h"
#include "status/temperature.h"

namespace vantu {
namespace {

constexpr std::uint8_t Bit(std::uint32_t value, int bit) {
    return static_cast<std::uint8_t>((value >> bit) & 1u);
}

template <typename Decode>
void ForEachQ(const ReportMemory& report, ModuleRecord& record, QFieldArray array, Decode decode) {
    for (int q = 0; q < kQChannels; ++q) {
        decode(record.q[static_cast<std::size_t>(q)],
               ReadQField(report, array, record.column, record.index, q), q);
    }
}

}  // namespace

std::array<std::uint8_t, kElements> QdxaFlags(const QRecord& q) {
    return {q.qdxa_fault, q.qdxa_overtemp, q.qdxa_sp_ok, q.qdxa_voltage};
}

std::array<bool, kElements> QdxaFaults(const QRecord& q) {
    return {q.qdxa_fault == 0, q.qdxa_overtemp == 1, q.qdxa_sp_ok == 0, q.qdxa_voltage == 0};
}

bool DecodeFields(const ReportMemory& report, ModuleRecord& record, int view_type) {
    switch (view_type) {
        case kViewQdxa:
            ForEachQ(report, record, QFieldArray::kQdxaSts, [](QRecord& rec, std::uint32_t f, int) {
                rec.qdxa_fault = Bit(f, 7);
                rec.qdxa_overtemp = Bit(f, 6);
                rec.qdxa_sp_ok = Bit(f, 5);
                rec.qdxa_voltage = Bit(f, 4);
                rec.qdxa_temp = static_cast<std::uint8_t>(TemperatureFromCode(f));
            });
            return true;
        case kViewTxRx:
            ForEachQ(report, record, QFieldArray::kTrmTxRx, [](QRecord& rec, std::uint32_t f, int) {
                for (int e = 0; e < kElements; ++e) {
                    rec.tx[static_cast<std::size_t>(e)] = Bit(f, 2 * e + 1);
                    rec.rx[static_cast<std::size_t>(e)] = Bit(f, 2 * e);
                }
            });
            return true;
        case kViewVoltage:
            ForEachQ(report, record, QFieldArray::kTrmPwr, [](QRecord& rec, std::uint32_t f, int) {
                for (int e = 0; e < kElements; ++e) {
                    const auto ue = static_cast<std::size_t>(e);
                    rec.supply_32v[ue] = Bit(f, 4 * e + 3);
                    rec.supply_9v5[ue] = Bit(f, 4 * e + 2);
                    rec.supply_5v[ue] = Bit(f, 4 * e + 1);
                    rec.supply_neg6v[ue] = Bit(f, 4 * e);
                }
            });
            return true;
        case kViewTemperature:
            ForEachQ(report, record, QFieldArray::kTrmTemp, [](QRecord& rec, std::uint32_t f, int) {
                for (int e = 0; e < kElements; ++e) {
                    rec.temp[static_cast<std::size_t>(e)] =
                        static_cast<std::uint8_t>(TemperatureFromCode(f >> (4 * e)));
                }
            });
            return true;
        case kViewSummary:
            ForEachQ(report, record, QFieldArray::kTrmSts, [](QRecord& rec, std::uint32_t f, int) {
                for (int e = 0; e < kElements; ++e) {
                    rec.trm_status[static_cast<std::size_t>(e)] = Bit(f, e);
                }
            });
            return true;
        case kViewDigitalId:
            ForEachQ(report, record, QFieldArray::kDigitalId,
                     [](QRecord& rec, std::uint32_t f, int q) { rec.digital_id = Bit(f, q); });
            return true;
        default:
            return false;
    }
}

int ModuleFaultCount(const ModuleRecord& record, int view_type, bool qdxa_temperature) {
    int faults = 0;
    for (const QRecord& rec : record.q) {
        switch (view_type) {
            case kViewQdxa:
                if (qdxa_temperature) {
                    faults += rec.qdxa_temp >= kQdxaTemperatureFault;
                } else {
                    for (bool fault : QdxaFaults(rec)) {
                        faults += fault;
                    }
                }
                break;
            case kViewDigitalId:
                faults += rec.digital_id == 0;
                break;
            default:
                for (std::size_t e = 0; e < kElements; ++e) {
                    switch (view_type) {
                        case kViewSummary:
                            faults += rec.trm_status[e] == 1;
                            break;
                        case kViewTemperature:
                            faults += rec.temp[e] > kTrmTemperatureLimit;
                            break;
                        case kViewTxRx:
                            faults += rec.tx[e] == 1;
                            break;
                        case kViewVoltage:
                            faults += (rec.supply_32v[e] == 0) + (rec.supply_9v5[e] == 0) +
                                      (rec.supply_5v[e] == 0) + (rec.supply_neg6v[e] == 0);
                            break;
                        default:
                            break;
                    }
                }
                break;
        }
    }
    return faults;
}

}  // namespace vantu
