#include "card/card_ops.h"

#include "card/bar0_map.h"
#include "card/bar_access.h"

namespace vantu {
namespace {

constexpr std::uint32_t kWordAlignMask = ~std::uint32_t{3};

std::uint32_t ReportBlockOffset(std::uint32_t block) {
    return kReportMemory + block * kReportBlockBytes;
}

}  // namespace

int ReadCardRegister(CardHandle card, std::uint32_t offset, std::uint32_t& value) {
    ReadBar32(card, kCardBar, offset & kWordAlignMask, value);
    return 0;
}

int WriteCardRegister(CardHandle card, std::uint32_t offset, std::uint32_t value) {
    WriteBar32(card, kCardBar, offset & kWordAlignMask, value);
    return 0;
}

bool ReadReportBlock(CardHandle card, std::uint32_t* sys_rpt_reg, std::uint32_t block_index) {
    if (sys_rpt_reg == nullptr) {
        return false;
    }
    // Single reads, not a block read: the report memory is read word by word on the card.
    // A mapped BAR gives the same single reads as plain loads, without a driver call each.
    const std::uint32_t block = block_index % kReportBlockCount;
    std::uint32_t* words = sys_rpt_reg + block * kReportBlockWords;
    if (const volatile std::uint32_t* mapped =
            MappedBarWords(card, kCardBar, ReportBlockOffset(block), kReportBlockBytes)) {
        for (std::uint32_t i = 0; i < kReportBlockWords; ++i) {
            words[i] = mapped[i];
        }
        return true;
    }
    bool answered = true;
    for (std::uint32_t i = 0; i < kReportBlockWords; ++i) {
        answered &=
            ReadBar32(card, kCardBar, ReportBlockOffset(block) + i * 4, words[i]) == kPciSuccess;
    }
    return answered;
}

void ClearReportBlock(CardHandle card, std::uint32_t block_index) {
    const std::uint32_t block = block_index % kReportBlockCount;
    for (std::uint32_t i = 0; i < kReportBlockWords; ++i) {
        WriteBar32(card, kCardBar, ReportBlockOffset(block) + i * 4, 0);
    }
}

void ClearControlCodeMemory(CardHandle card) {
    for (std::uint32_t i = 0; i < kControlCodeWords; ++i) {
        WriteBar32(card, kCardBar, kControlCodeMemory + i * 4, 0);
    }
}

void EnableControlCode(CardHandle card) {
    WriteBar32(card, kCardBar, kSequencerParameter, 0);
    WriteBar32(card, kCardBar, kSequencerControl, kSequencerEnable);
}

void StopControlCode(CardHandle card) {
    WriteBar32(card, kCardBar, kSequencerControl, kSequencerStop);
}

bool IsControlCodeBusy(CardHandle card) {
    std::uint32_t value = 0;
    ReadBar32(card, kCardBar, kSequencerControl, value);
    return (value & kSequencerBusy) != 0;
}

}  // namespace vantu
