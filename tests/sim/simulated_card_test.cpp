#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "card/card_ops.h"
#include "fake_ports.h"
#include "quiet_card.h"

namespace vantu {
namespace {

constexpr std::int64_t kWordNs = 1'500'000;

// The sequencer walks the words up to the last nonzero one, one word time each.
TEST(SimulatedCardTest, RunWalksTheLoadedWordsAndEndsOnStop) {
    testing::FakeClock clock;
    auto session = testing::QuietSimulatedCard({.word_time_ns = kWordNs, .clock = &clock});
    ASSERT_NE(session, nullptr);
    CardHandle card = session->handle();
    struct Case {
        const char* name;
        std::vector<std::uint32_t> words;  // from 0xC000
        std::int64_t end_ns;               // the busy bit clears here
        bool stop = false;                 // by a stop at end_ns
    };
    const Case cases[] = {
        {"three words", {7, 8, 9}, 3 * kWordNs},
        {"zero inside counts", {7, 0, 9}, 3 * kWordNs},
        {"trailing zeros do not", {7, 0, 0}, kWordNs},
        {"empty memory", {}, 0},
        {"stopped midway", {7, 8, 9}, kWordNs + 10, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clock.nanos = 0;
        ClearControlCodeMemory(card);
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            WriteCardRegister(card, 0xC000 + 4 * static_cast<std::uint32_t>(i), c.words[i]);
        }
        WriteCardRegister(card, 0x8008, 7);
        EnableControlCode(card);
        EXPECT_EQ(session->card().SequencerParameter(), 0u);
        if (c.end_ns > 0) {
            clock.nanos = c.end_ns - 1;
            EXPECT_TRUE(IsControlCodeBusy(card));
        }
        clock.nanos = c.end_ns;
        if (c.stop) {
            StopControlCode(card);
        }
        EXPECT_FALSE(IsControlCodeBusy(card));
        EXPECT_FALSE(session->card().IsControlCodeRunning());
    }
}

}  // namespace
}  // namespace vantu
