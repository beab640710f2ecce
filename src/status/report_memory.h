// The host copy of the card's report register memory (`sys_rpt_reg`), the digital-ID
// table that follows it, and the fixed report arrays that view it.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "card/bar0_map.h"

namespace vantu {

// The card side (kReportMemory, kReportBlockCount, kReportWords ...) is in bar0_map.h.
inline constexpr std::size_t kDigitalIdBytes = 256;
// `sys_rpt_reg` and the digital-ID table are zeroed together as one area.
inline constexpr std::size_t kReportAreaBytes = kReportWords * 4 + kDigitalIdBytes;  // 14 592

enum class ReportArray { kSts, kTrmSts, kQdxaSts, kTrmTxRx, kTrmPwr, kTrmTemp };

struct ReportArrayInfo {
    std::string_view name;
    std::size_t first_word;  // within `sys_rpt_reg`
    std::size_t words;
};

inline constexpr std::array<ReportArrayInfo, 6> kReportArrays = {{
    {"reg_sts", 0, 256},
    {"reg_trm_sts", 256, 256},
    {"reg_qdxa_sts", 512, 512},
    {"reg_trm_txrx", 1024, 512},
    {"reg_trm_pwr", 1536, 1024},
    {"reg_trm_temp", 2560, 1024},
}};

constexpr const ReportArrayInfo& InfoOf(ReportArray array) {
    return kReportArrays[static_cast<std::size_t>(array)];
}

// The array holding word `word` of `sys_rpt_reg` (0..3583).
ReportArray ArrayOfWord(std::size_t word);

class ReportMemory {
  public:
    std::span<std::uint32_t, kReportWords> sys_rpt_reg() {
        return std::span<std::uint32_t, kReportWords>(area_.data(), kReportWords);
    }
    std::span<const std::uint32_t, kReportWords> sys_rpt_reg() const {
        return std::span<const std::uint32_t, kReportWords>(area_.data(), kReportWords);
    }
    std::span<std::uint32_t> array(ReportArray which) {
        return sys_rpt_reg().subspan(InfoOf(which).first_word, InfoOf(which).words);
    }
    std::span<const std::uint32_t> array(ReportArray which) const {
        return sys_rpt_reg().subspan(InfoOf(which).first_word, InfoOf(which).words);
    }

    std::span<const std::uint32_t, 256> reg_sts() const { return Fixed<256>(ReportArray::kSts); }
    std::span<const std::uint32_t, 256> reg_trm_sts() const {
        return Fixed<256>(ReportArray::kTrmSts);
    }
    std::span<const std::uint32_t, 512> reg_qdxa_sts() const {
        return Fixed<512>(ReportArray::kQdxaSts);
    }
    std::span<const std::uint32_t, 512> reg_trm_txrx() const {
        return Fixed<512>(ReportArray::kTrmTxRx);
    }
    std::span<const std::uint32_t, 1024> reg_trm_pwr() const {
        return Fixed<1024>(ReportArray::kTrmPwr);
    }
    std::span<const std::uint32_t, 1024> reg_trm_temp() const {
        return Fixed<1024>(ReportArray::kTrmTemp);
    }

    // One byte per report slot, one bit per Q channel.
    std::span<std::uint8_t, kDigitalIdBytes> digital_ids() {
        return std::span<std::uint8_t, kDigitalIdBytes>(
            reinterpret_cast<std::uint8_t*>(area_.data() + kReportWords), kDigitalIdBytes);
    }
    std::span<const std::uint8_t, kDigitalIdBytes> digital_ids() const {
        return std::span<const std::uint8_t, kDigitalIdBytes>(
            reinterpret_cast<const std::uint8_t*>(area_.data() + kReportWords), kDigitalIdBytes);
    }

    // `sys_rpt_reg` followed by the digital-ID table: 14 592 bytes.
    std::span<std::uint32_t> area() { return area_; }
    // Zeroes the area and forgets which blocks were read.
    void Zero() {
        area_.fill(0);
        captured_.reset();
    }

    // Report block `block` was read from the card into the host copy.
    void MarkCaptured(std::uint32_t block) { captured_.set(block % kReportBlockCount); }
    // Every block the array lies in was read since the last Zero: until then its zero
    // words are no report and must not be shown as one.
    bool Captured(ReportArray which) const;

  private:
    template <std::size_t N>
    std::span<const std::uint32_t, N> Fixed(ReportArray which) const {
        return std::span<const std::uint32_t, N>(area_.data() + InfoOf(which).first_word, N);
    }

    std::array<std::uint32_t, kReportAreaBytes / 4> area_{};
    std::bitset<kReportBlockCount> captured_;
};

}  // namespace vantu
