#include "status/subsystem_health.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

namespace vantu {
namespace {

using Words = std::array<std::uint32_t, 256>;

Words Healthy() {
    Words words{};
    for (std::size_t w = 20; w <= 27; ++w) {
        words[w] = 0xFFFFFFFF;
    }
    return words;
}

auto Fields(const HealthStates& s) {
    return std::tuple(s.power, s.environment, s.digital, s.rf, s.exciter_input_fault,
                      s.qtrm_input_fault);
}

TEST(SubsystemHealthTest, InterfaceWordIsNormalOnlyAtExactlyFFFF) {
    struct Case {
        std::uint32_t word;
        bool normal;
    };
    for (const Case& c : {Case{0x0000FFFF, true}, Case{0xFFFF0000, false}, Case{0, false},
                          Case{0x0001FFFF, false}}) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(InterfaceState(c.word), c.normal);
    }
}

TEST(SubsystemHealthTest, GroupsFollowTheirWordsAndExcludedBits) {
    struct Case {
        const char* what;
        std::size_t word;
        int bit;  // cleared in an otherwise healthy report
        HealthStates expected;
    };
    const HealthStates ok;
    auto with = [](HealthStates s, bool HealthStates::*field, bool value) {
        s.*field = value;
        return s;
    };
    const Case cases[] = {
        {"power word 20", 20, 0, with(ok, &HealthStates::power, false)},
        {"power word 20 excluded bit 21 belongs to environment", 20, 21,
         with(ok, &HealthStates::environment, false)},
        {"power word 20 bit 29 not counted", 20, 29, ok},
        {"environment word 22 never counts", 22, 0, ok},
        {"digital word 26", 26, 0, with(ok, &HealthStates::digital, false)},
        {"rf and exciter", 27, 31,
         with(with(ok, &HealthStates::rf, false), &HealthStates::exciter_input_fault, true)},
        {"rf and qtrm", 27, 11,
         with(with(ok, &HealthStates::rf, false), &HealthStates::qtrm_input_fault, true)},
        {"rf only", 27, 16, with(ok, &HealthStates::rf, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Words words = Healthy();
        words[c.word] &= ~(1u << c.bit);
        EXPECT_EQ(Fields(EvaluateHealth(words)), Fields(c.expected));
    }
}

}  // namespace
}  // namespace vantu
