// The antenna-wide words of `reg_sts`: interface states (words 4 and 5), fault totals
// (word 6) and the subsystem health words 20-27.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "base/shared_settings.h"

namespace vantu {

inline constexpr std::size_t kSpInterfaceWord = 4;
inline constexpr std::size_t kInternalInterfaceWord = 5;
inline constexpr std::size_t kFaultTotalsWord = 6;
inline constexpr std::uint32_t kInterfaceNormal = 0x0000FFFF;

// True (normal) only for exactly 0x0000FFFF.
constexpr bool InterfaceState(std::uint32_t word) {
    return word == kInterfaceNormal;
}
// "正常" or "異常".
std::string_view InterfaceStateText(bool normal);
Colour InterfaceStateBackground(bool normal);
// The main page's tooltip with the word's value.
std::string InterfaceTooltip(std::uint32_t word);

struct FaultTotals {
    int main = 0;  // bits 0-14
    int slb = 0;   // bits 15-20
};
FaultTotals ReadFaultTotals(std::span<const std::uint32_t, 256> reg_sts);
// "%d ".
std::string FaultTotalText(int total);

// Number of zero bits among bits 0 .. bits_counted - 1 of word, the excluded
// positions not counted.
int HealthFaultCount(std::uint32_t word, std::initializer_list<int> excluded, int bits_counted);

struct HealthStates {
    bool power = true;        // "電源"
    bool environment = true;  // "環控"
    bool digital = true;      // "數位"
    bool rf = true;           // "射頻"
    bool exciter_input_fault = false;
    bool qtrm_input_fault = false;
};
HealthStates EvaluateHealth(std::span<const std::uint32_t, 256> reg_sts);

}  // namespace vantu
