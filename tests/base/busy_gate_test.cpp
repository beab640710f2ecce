#include "base/busy_gate.h"

#include <gtest/gtest.h>

#include "fake_ports.h"

namespace vantu {
namespace {

TEST(BusyGate, WaitingWorkRunsAfterTheHolderInOrderUnlessDropped) {
    testing::QueuePoster poster;
    BusyGate gate(poster);
    std::vector<int> ran;
    {
        BusyGate::Hold hold(gate);
        gate.Run([&] { ran.push_back(1); });
        gate.Run([&] { ran.push_back(2); });
        EXPECT_TRUE(ran.empty());
    }
    poster.Drain();
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));

    {
        BusyGate::Hold hold(gate);
        gate.Run([&] { ran.push_back(3); });
        gate.DropWaiting();
    }
    poster.Drain();
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_TRUE(gate.free());
}

}  // namespace
}  // namespace vantu
