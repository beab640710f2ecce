// The antenna behind the simulated card: 161 modules whose elements warm up while the
// control code runs and cool when it stops, with supplies, Tx/Rx, QDX-A flags, digital
// IDs, interface and health words, analogue readings (out of their limits where a
// health bit is down) and unit versions, written into the card's report memory in the
// layout the station decodes. A seeded fault injector makes a run reproducible: the
// same seed, rate, scenario and update times give the same reports. A scenario's
// events start and end at their steps; a replay shows recorded reports instead.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/ports.h"
#include "sim/chassis_settings.h"
#include "sim/report_replay.h"
#include "sim/simulated_card.h"

namespace vantu {

class ChassisModel {
  public:
    static constexpr std::int64_t kStepUs = 1'000'000;
    static constexpr int kModules = 161;

    ChassisModel(SimulatedCard& card, Clock& clock, ChassisSettings settings);
    ~ChassisModel();
    ChassisModel(const ChassisModel&) = delete;
    ChassisModel& operator=(const ChassisModel&) = delete;

    // Runs the model steps the clock says are due, then rewrites the whole report
    // memory, so a block the station cleared is filled again.
    void Update();
    // Updates whenever the host reads the first word of a report block (every timer-0
    // tick of the station), so no timer of its own is needed.
    void AttachToReads();

    // Faulty elements of the main antenna and of the SLB module in the last write.
    int main_fault_total() const { return main_total_; }
    int slb_fault_total() const { return slb_total_; }
    std::int64_t steps() const { return steps_; }
    bool replaying() const { return !replay_.empty(); }

  private:
    static constexpr int kElementsPerModule = 32;
    static constexpr int kQPerModule = 8;

    struct Transient {
        SimFault kind = SimFault::kTx;
        std::uint8_t remaining = 0;  // steps left; 0 = healthy
    };

    void Step(bool running);
    // Brings stuck faults and card faults in line with the scenario at the current step.
    void PlayScenario();
    void BuildFaultMasks();
    void AddFault(const StuckFault& fault);
    void Render();
    void RenderReplay();
    void RenderStatusWords();
    void CrossLimits();
    std::uint64_t Next();
    bool Draw();
    // Reading noise in [-spread, spread], fixed by seed, step and key.
    int Noise(std::size_t key, int spread) const;

    SimulatedCard& card_;
    Clock& clock_;
    ChassisSettings settings_;
    std::uint64_t threshold_;
    std::uint64_t rng_;
    std::int64_t start_us_;
    std::int64_t steps_ = 0;
    bool attached_ = false;

    std::array<bool, kModules> absent_{};
    std::array<float, kModules * kElementsPerModule> temps_{};
    std::array<float, kModules * kElementsPerModule> offsets_{};
    std::array<Transient, kModules * kElementsPerModule> element_faults_{};
    std::array<Transient, kModules * kQPerModule> q_faults_{};
    // Stuck faults as bit masks of SimFault kinds, and bits cleared in `reg_sts` words.
    std::array<std::uint16_t, kModules * kElementsPerModule> stuck_elements_{};
    std::array<std::uint16_t, kModules * kQPerModule> stuck_q_{};
    std::array<std::uint32_t, 256> stuck_status_{};
    std::array<std::array<std::uint8_t, 32>, 8> health_faults_{};  // words 20-27, steps left
    std::array<std::uint32_t, 3584> image_{};
    std::vector<bool> scenario_active_;
    std::vector<ReportSnapshot> replay_;
    int main_total_ = 0;
    int slb_total_ = 0;
};

}  // namespace vantu
