// The simulated card opened without the card list its open prints on standard output.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "sim/simulated_card_session.h"

namespace vantu::testing {

inline std::unique_ptr<SimulatedCardSession> QuietSimulatedCard(
    const SimulatedCardConfig& config = {}) {
    ::testing::internal::CaptureStdout();
    auto session = OpenSimulatedCard(config);
    std::fflush(stdout);
    ::testing::internal::GetCapturedStdout();
    return session;
}

}  // namespace vantu::testing
