#include "status/module_fields.h"

#include <bit>

#include "status/report_fields.h"
#include "status/temperature.h"

namespace vantu {
namespace {

constexpr std::uint8_t Bit(std::uint32_t value, int bit) {
    return static_cast<std::uint8_t>((value >> bit) & 1u);
}

using ElementFlags = std::array<std::uint8_t, kElements>;

// Bit e of a nibble as flag e: one copy instead of four shifts.
constexpr auto kNibbleFlags = [] {
    std::array<ElementFlags, 16> flags{};
    for (unsigned nibble = 0; nibble < flags.size(); ++nibble) {
        for (int e = 0; e < kElements; ++e) {
            flags[nibble][static_cast<std::size_t>(e)] = Bit(nibble, e);
        }
    }
    return flags;
}();

// Four element bytes as one word, E0 in the lowest byte.
static_assert(std::endian::native == std::endian::little);
constexpr ElementFlags ElementBytes(std::uint32_t word) {
    return std::bit_cast<ElementFlags>(word);
}

constexpr std::uint32_t Word(const ElementFlags& flags) {
    return std::bit_cast<std::uint32_t>(flags);
}

// Nibble e of a power field into byte e: element e's supply flags, +32V in bit 3.
constexpr std::uint32_t SupplyNibbles(std::uint32_t field) {
    return (field & 0xFu) | (field & 0xF0u) << 4 | (field & 0xF00u) << 8 | (field & 0xF000u) << 12;
}

// Supply flag `supply` (bit of the nibble) of E0..E3.
constexpr ElementFlags SupplyFlags(std::uint32_t nibbles, int supply) {
    return ElementBytes(nibbles >> supply & 0x01010101u);
}

// The Tx flags (odd bits) and Rx flags (even bits) of a Tx/Rx byte.
struct TxRxFlags {
    ElementFlags tx{};
    ElementFlags rx{};
};
constexpr auto kTxRxFlags = [] {
    std::array<TxRxFlags, 256> flags{};
    for (std::uint32_t byte = 0; byte < flags.size(); ++byte) {
        for (int e = 0; e < kElements; ++e) {
            flags[byte].tx[static_cast<std::size_t>(e)] = Bit(byte, 2 * e + 1);
            flags[byte].rx[static_cast<std::size_t>(e)] = Bit(byte, 2 * e);
        }
    }
    return flags;
}();

// The temperatures of the two codes of a byte, low nibble first.
constexpr auto kByteTemperatures = [] {
    std::array<std::array<std::uint8_t, 2>, 256> temperatures{};
    for (std::uint32_t byte = 0; byte < temperatures.size(); ++byte) {
        temperatures[byte] = {static_cast<std::uint8_t>(TemperatureFromCode(byte)),
                              static_cast<std::uint8_t>(TemperatureFromCode(byte >> 4))};
    }
    return temperatures;
}();

// The flags at 1 among four flags of 0 or 1: the multiply sums the four bytes into the top
// one. std::popcount would be a library call on the baseline instruction set.
template <typename Flags>
constexpr int SetFlags(const Flags& flags) {
    return static_cast<int>(std::bit_cast<std::uint32_t>(flags) * 0x01010101u >> 24);
}

// The temperatures above the TRM limit among four: decoded temperatures are at most 78 °C,
// so adding 72 sets a byte's top bit exactly above 55 °C and never carries into the next.
constexpr int HotElements(const ElementFlags& temperatures) {
    constexpr std::uint32_t kToTop = 0x80u - kTrmTemperatureLimit - 1;
    static_assert(TemperatureFromCode(0xF) + kToTop < 0x100u);
    constexpr std::uint32_t kToTopBit = kToTop * 0x01010101u;
    return SetFlags((std::bit_cast<std::uint32_t>(temperatures) + kToTopBit) >> 7 & 0x01010101u);
}

// The QDX-A flags that mean a fault at 0, one byte each: flipping them leaves the faults
// at 1.
constexpr auto kQdxaActiveLow = std::bit_cast<std::uint32_t>(QdxaFaults(QRecord{}));

template <typename Count>
int CountFaults(const ModuleRecord& record, Count count) {
    int faults = 0;
    for (const QRecord& rec : record.q) {
        faults += count(rec);
    }
    return faults;
}

template <typename Decode>
void ForEachQ(const ReportMemory& report, ModuleRecord& record, QFieldArray array, Decode decode) {
    const auto fields = ReadQFields(report, array, record.column, record.index);
    // Unrolled, Q by Q: vectorised, the loop read the returned fields back in wider pieces
    // than they were stored, a stall each.
#pragma GCC unroll 8
    for (std::size_t q = 0; q < fields.size(); ++q) {
        decode(record.q[q], fields[q], static_cast<int>(q));
    }
}

}  // namespace

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
                rec.tx = kTxRxFlags[f & 0xFFu].tx;
                rec.rx = kTxRxFlags[f & 0xFFu].rx;
            });
            return true;
        case kViewVoltage:
            ForEachQ(report, record, QFieldArray::kTrmPwr, [](QRecord& rec, std::uint32_t f, int) {
                const std::uint32_t nibbles = SupplyNibbles(f);
                rec.supply = ElementBytes(nibbles);
                rec.supply_32v = SupplyFlags(nibbles, 3);
                rec.supply_9v5 = SupplyFlags(nibbles, 2);
                rec.supply_5v = SupplyFlags(nibbles, 1);
                rec.supply_neg6v = SupplyFlags(nibbles, 0);
            });
            return true;
        case kViewTemperature:
            ForEachQ(report, record, QFieldArray::kTrmTemp, [](QRecord& rec, std::uint32_t f, int) {
                const auto& low = kByteTemperatures[f & 0xFFu];
                const auto& high = kByteTemperatures[(f >> 8) & 0xFFu];
                rec.temp = {low[0], low[1], high[0], high[1]};
            });
            return true;
        case kViewSummary:
            ForEachQ(report, record, QFieldArray::kTrmSts, [](QRecord& rec, std::uint32_t f, int) {
                rec.trm_status = kNibbleFlags[f & 0xFu];
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
    switch (view_type) {
        case kViewQdxa:
            if (qdxa_temperature) {
                return CountFaults(record, [](const QRecord& rec) {
                    return static_cast<int>(rec.qdxa_temp >= kQdxaTemperatureFault);
                });
            }
            return CountFaults(record, [](const QRecord& rec) {
                return SetFlags(std::bit_cast<std::uint32_t>(QdxaFlags(rec)) ^ kQdxaActiveLow);
            });
        case kViewDigitalId:
            return CountFaults(
                record, [](const QRecord& rec) { return static_cast<int>(rec.digital_id == 0); });
        case kViewVoltage:
            return CountFaults(record, [](const QRecord& rec) {
                // Each byte of the sum is at most 4: the words add without a carry.
                const std::uint32_t set = Word(rec.supply_32v) + Word(rec.supply_9v5) +
                                          Word(rec.supply_5v) + Word(rec.supply_neg6v);
                return 4 * kElements - SetFlags(set);
            });
        case kViewSummary:
            return CountFaults(record, [](const QRecord& rec) { return SetFlags(rec.trm_status); });
        case kViewTemperature:
            return CountFaults(record, [](const QRecord& rec) { return HotElements(rec.temp); });
        case kViewTxRx:
            return CountFaults(record, [](const QRecord& rec) { return SetFlags(rec.tx); });
        default:
            return 0;
    }
}

}  // namespace vantu
