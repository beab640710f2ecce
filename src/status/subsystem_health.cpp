#include "status/subsystem_health.h"

#include <cstdio>

#include "status/status_colours.h"

namespace vantu {

std::string_view InterfaceStateText(bool normal) {
    return normal ? "正常" : "異常";
}

Colour InterfaceStateBackground(bool normal) {
    return normal ? kInterfaceNormalBackground : kInterfaceFaultBackground;
}

std::string InterfaceTooltip(std::uint32_t word) {
    char text[96];
    std::snprintf(text, sizeof text, "正常 : [0x0000FFFF]\n異常 : [0xFFFF0000]\n回報 : [0x%.8X]",
                  word);
    return text;
}

FaultTotals ReadFaultTotals(std::span<const std::uint32_t, 256> reg_sts) {
    std::uint32_t word = reg_sts[kFaultTotalsWord];
    return {static_cast<int>(word % 32768), static_cast<int>((word & 0x1F8000) >> 15)};
}

std::string FaultTotalText(int total) {
    return std::to_string(total) + " ";
}

int HealthFaultCount(std::uint32_t word, std::initializer_list<int> excluded, int bits_counted) {
    int zeros = 0;
    for (int bit = 0; bit < bits_counted && bit < 32; ++bit) {
        bool skip = false;
        for (int x : excluded) {
            skip = skip || x == bit;
        }
        if (!skip && ((word >> bit) & 1u) == 0) {
            ++zeros;
        }
    }
    return zeros;
}

HealthStates EvaluateHealth(std::span<const std::uint32_t, 256> reg_sts) {
    auto w = [&](std::size_t n) { return reg_sts[n]; };
    constexpr std::uint32_t kEnvironmentBitsOfWord20 = (1u << 21) | (1u << 22);
    HealthStates states;
    states.power =
        HealthFaultCount(w(20), {21, 22}, 29) == 0 && HealthFaultCount(w(21), {14, 15}, 30) == 0;
    states.environment = HealthFaultCount(w(23), {14, 15, 19, 20, 21, 22, 23, 24}, 27) == 0 &&
                         (w(20) & kEnvironmentBitsOfWord20) == kEnvironmentBitsOfWord20;
    states.digital = HealthFaultCount(w(24), {7, 15, 23}, 31) == 0 &&
                     HealthFaultCount(w(25), {7}, 13) == 0 &&
                     HealthFaultCount(w(26), {14, 15}, 30) == 0;
    states.rf = HealthFaultCount(w(27), {12, 13, 14, 15, 23}, 32) == 0;
    states.exciter_input_fault = (w(27) & 0x80000000u) == 0;
    states.qtrm_input_fault = (w(27) & 0xFFFu) != 0xFFFu;
    return states;
}

}  // namespace vantu
