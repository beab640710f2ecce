#include "status/report_fields.h"

#include "status/antenna_layout.h"

namespace vantu {
namespace {

constexpr std::uint32_t Byte(std::uint32_t word, int n) {
    return (word >> (8 * n)) & 0xFFu;
}

constexpr std::size_t DigitalIdFirstWord(int column) {
    if (column == 0) {
        return 128;
    }
    if (column <= 7) {
        return 96 + 4 * static_cast<std::size_t>(7 - column);
    }
    return 132 + 4 * static_cast<std::size_t>(column - 8);
}

}  // namespace

std::uint32_t ReadQField(const ReportMemory& report, QFieldArray array, int column, int index,
                         int q) {
    const auto slot = static_cast<std::size_t>(ReportSlot(column, index));
    const auto uq = static_cast<std::size_t>(q & 7);
    switch (array) {
        case QFieldArray::kTrmSts:
            return (report.reg_trm_sts()[slot] >> (4 * uq)) & 0xFu;
        case QFieldArray::kQdxaSts:
            return Byte(report.reg_qdxa_sts()[slot * 2 + (uq >> 2)], q & 3);
        case QFieldArray::kTrmTxRx:
            return Byte(report.reg_trm_txrx()[slot * 2 + (uq >> 2)], q & 3);
        case QFieldArray::kTrmPwr:
            return (report.reg_trm_pwr()[slot * 4 + (uq >> 1)] >> (16 * (uq & 1))) & 0xFFFFu;
        case QFieldArray::kTrmTemp:
            return (report.reg_trm_temp()[slot * 4 + (uq >> 1)] >> (16 * (uq & 1))) & 0xFFFFu;
        case QFieldArray::kDigitalId:
            return report.digital_ids()[slot];
    }
    return 0;
}

std::array<std::uint32_t, kQChannels> ReadQFields(const ReportMemory& report, QFieldArray array,
                                                  int column, int index) {
    const auto slot = static_cast<std::size_t>(ReportSlot(column, index));
    std::array<std::uint32_t, kQChannels> fields{};
    const auto bytes = [&](std::span<const std::uint32_t> words) {
        for (std::size_t q = 0; q < fields.size(); ++q) {
            fields[q] = Byte(words[slot * 2 + q / 4], static_cast<int>(q % 4));
        }
    };
    const auto halves = [&](std::span<const std::uint32_t> words) {
        for (std::size_t q = 0; q < fields.size(); ++q) {
            fields[q] = (words[slot * 4 + q / 2] >> (16 * (q % 2))) & 0xFFFFu;
        }
    };
    switch (array) {
        case QFieldArray::kTrmSts:
            for (std::size_t q = 0; q < fields.size(); ++q) {
                fields[q] = (report.reg_trm_sts()[slot] >> (4 * q)) & 0xFu;
            }
            break;
        case QFieldArray::kQdxaSts:
            bytes(report.reg_qdxa_sts());
            break;
        case QFieldArray::kTrmTxRx:
            bytes(report.reg_trm_txrx());
            break;
        case QFieldArray::kTrmPwr:
            halves(report.reg_trm_pwr());
            break;
        case QFieldArray::kTrmTemp:
            halves(report.reg_trm_temp());
            break;
        case QFieldArray::kDigitalId:
            fields.fill(report.digital_ids()[slot]);
            break;
    }
    return fields;
}

void RebuildDigitalIdTable(ReportMemory& report) {
    auto reg_sts = report.reg_sts();
    auto ids = report.digital_ids();
    for (int column = 0; column < kColumns; ++column) {
        const std::size_t first = DigitalIdFirstWord(column);
        const auto slot0 = static_cast<std::size_t>(column) * 16;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::uint32_t word = reg_sts[first + k];
            for (int n = 0; n < 4; ++n) {
                ids[slot0 + 4 * k + static_cast<std::size_t>(n)] =
                    static_cast<std::uint8_t>(Byte(word, n));
            }
        }
    }
}

}  // namespace vantu
