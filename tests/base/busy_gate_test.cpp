#include "base/busy_gate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_ports.h"

namespace vantu {
namespace {

using Ran = std::vector<std::string>;

TEST(BusyGate, WorkWaitsForTheOutermostHolderAndRunsInArrivalOrder) {
    testing::QueuePoster poster;
    BusyGate gate(poster);
    Ran ran;
    gate.Run([&] {
        EXPECT_TRUE(gate.held());
        ran.push_back("at once");
    });
    EXPECT_FALSE(gate.held());
    {
        BusyGate::Hold outer(gate);
        {
            BusyGate::Hold inner(gate);
            gate.Run([&] {
                ran.push_back("a");
                gate.Run([&] { ran.push_back("offered during a"); });
            });
        }
        gate.Run([&] { ran.push_back("b"); });
        EXPECT_TRUE(poster.queue.empty());
    }
    EXPECT_EQ(ran, Ran{"at once"});
    // Free again, but work still waits: newcomers queue behind it.
    gate.Run([&] { ran.push_back("c"); });
    EXPECT_EQ(ran, Ran{"at once"});

    // A posting delivered while another holder is in progress runs nothing.
    {
        BusyGate::Hold prompt(gate);
        poster.Drain();
        EXPECT_EQ(ran, Ran{"at once"});
    }
    poster.Drain();
    EXPECT_EQ(ran, (Ran{"at once", "a", "b", "c", "offered during a"}));
    EXPECT_FALSE(gate.held());
    EXPECT_TRUE(poster.queue.empty());
}

}  // namespace
}  // namespace vantu
