#include "sim/chassis_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "card/card_ops.h"
#include "fake_ports.h"
#include "quiet_card.h"
#include "sim/simulated_card_session.h"
#include "status/report_fields.h"
#include "status/status_decoder.h"
#include "status/subsystem_health.h"
#include "status/temperature.h"
#include "temp_dir.h"

namespace vantu {
namespace {

constexpr std::int64_t kSecond = 1'000'000;

ChassisSettings Seeded(std::uint64_t seed, double fault_rate) {
    ChassisSettings settings;
    settings.seed = seed;
    settings.fault_rate = fault_rate;
    return settings;
}

class ChassisModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // 2048 words run about 61 s.
        session = testing::QuietSimulatedCard({.word_time_ns = 30'000'000, .clock = &clock});
        ASSERT_NE(session, nullptr);
        BuildModuleTable(table);
    }

    // The station's view: every block read through the card operations, then decoded.
    void Capture() {
        for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
            ReadReportBlock(session->handle(), report.sys_rpt_reg().data(), block);
        }
        RebuildDigitalIdTable(report);
    }
    const ModuleRecord& Decode(int module, int view) {
        decoder.DecodeModule(module, view, nullptr);
        return table.records[static_cast<std::size_t>(module)];
    }

    testing::FakeClock clock;
    std::unique_ptr<SimulatedCardSession> session;
    ModuleTable table;
    ReportMemory report;
    SharedSettings shared;
    StatusDecoder decoder{table, report, shared};
};

TEST_F(ChassisModelTest, HealthyAntennaReportsNominalValues) {
    ChassisModel model(session->card(), clock, Seeded(3, 0));
    clock.micros += 5 * kSecond;
    model.Update();
    Capture();
    const HealthStates health = EvaluateHealth(report.reg_sts());
    EXPECT_TRUE(health.power && health.environment && health.digital && health.rf);
    EXPECT_FALSE(health.exciter_input_fault || health.qtrm_input_fault);
    for (int m = 0; m < kModuleCount; ++m) {
        for (int view :
             {kViewQdxa, kViewTxRx, kViewVoltage, kViewTemperature, kViewSummary, kViewDigitalId}) {
            ASSERT_EQ(ModuleFaultCount(Decode(m, view), view, false), 0) << m << " " << view;
        }
    }
}

TEST_F(ChassisModelTest, DecodedFaultTotalsEqualTheTotalsTheModelWrote) {
    ChassisModel model(session->card(), clock, Seeded(7, 0.01));
    clock.micros += 30 * kSecond;
    model.Update();
    Capture();
    const FaultTotals totals = ReadFaultTotals(report.reg_sts());
    EXPECT_EQ(totals.main, model.main_fault_total());
    EXPECT_EQ(totals.slb, model.slb_fault_total());
    EXPECT_GT(totals.main, 100);

    int main = 0;
    int slb = 0;
    for (int m = 0; m < kModuleCount; ++m) {
        const ModuleRecord& summary = Decode(m, kViewSummary);
        (m == kSlbModule ? slb : main) += ModuleFaultCount(summary, kViewSummary, false);
        Decode(m, kViewTxRx);
        Decode(m, kViewVoltage);
        Decode(m, kViewTemperature);
        // Every element fault the other views show is in the summary.
        for (const QRecord& q : table.records[static_cast<std::size_t>(m)].q) {
            for (std::size_t e = 0; e < 4; ++e) {
                const bool shown = q.tx[e] == 1 || q.supply_32v[e] == 0 || q.supply_9v5[e] == 0 ||
                                   q.supply_5v[e] == 0 || q.supply_neg6v[e] == 0 ||
                                   q.temp[e] > kTrmTemperatureLimit;
                EXPECT_EQ(shown, q.trm_status[e] == 1) << m;
            }
        }
    }
    EXPECT_EQ(std::pair(main, slb), std::pair(totals.main, totals.slb));
}

TEST(ChassisSettingsTest, SimulationIniSetsEachSettingAndDropsWhatItCannotRead) {
    testing::TempDir dir;
    EXPECT_EQ(LoadChassisSettings(dir.path()).seed, 1u);  // no file: defaults
    dir.Write("simulation.ini",
              "[SIMULATION]\r\nSEED=42\r\nFAULT_RATE=0\r\n"
              "STUCK_FAULTS=M010-E1-Q3-TX, m160-q2-sp; W27-B31 M200-Q1-SP, M011-Q9-SP, x\r\n"
              "ABSENT_MODULES=5, 999\r\n");
    const ChassisSettings settings = LoadChassisSettings(dir.path());
    EXPECT_EQ(std::tuple(settings.seed, settings.fault_rate, settings.stuck_faults.size(),
                         settings.absent_modules),
              std::tuple(42u, 0.0, 3u, std::vector<int>{5}));

    dir.Write("simulation.ini",
              "[SIMULATION]\nWORD_TIME_US=1.5\nSPI_CLOCK_HZ=-3\nREPLAY=Log/rec.log\n"
              "[SCENARIO]\nA=30 m010-e1-q3-hot\nB=40-70 W4-B0\nC=5-5 CARD-SILENT\n"
              "D=x FLASH-BUSY\nE=7 M010-Q9-SP\nF=7\nG=1-2 flash-busy\n");
    const ChassisSettings timed = LoadChassisSettings(dir.path());
    const SimulatedCardConfig card = CardConfigOf(timed, nullptr);
    // The clock is out of range: the default.
    EXPECT_EQ(std::tuple(card.word_time_ns, card.spi_clock_hz, timed.replay_path),
              std::tuple(1500, 25'000'000, dir.path() + "/Log/rec.log"));
    ASSERT_EQ(timed.scenario.size(), 3u);
    EXPECT_EQ(std::tuple(timed.scenario[1].until_step, timed.scenario[2].card),
              std::tuple(70, CardFault::kFlashBusy));

    for (const char* number : {"nan", "-nan", "inf", "-inf"}) {
        dir.Write("simulation.ini", std::string("[SIMULATION]\nWORD_TIME_US=") + number +
                                        "\nFAULT_RATE=" + number + "\n");
        const ChassisSettings odd = LoadChassisSettings(dir.path());
        EXPECT_EQ(odd.word_time_us, ChassisSettings{}.word_time_us) << number;
        EXPECT_EQ(odd.fault_rate, ChassisSettings{}.fault_rate) << number;
    }
}

// Each event holds from its first step up to (not including) its last.
TEST_F(ChassisModelTest, ScenarioEventsStartAndEndAtTheirSteps) {
    ChassisSettings settings = Seeded(1, 0);
    for (const char* text :
         {"5 M010-E1-Q3-HOT", "3-6 W4-B0", "2-4 SEQ-BUSY", "7-8 CARD-SILENT", "0-1 FLASH-BUSY"}) {
        settings.scenario.push_back(*ParseScenarioEvent(text));
    }
    ChassisModel model(session->card(), clock, settings);
    model.AttachToReads();
    struct Step {
        int main_faults;
        std::uint32_t interface_word;
        bool sequencer_busy;
        bool flash_busy;
    };
    const Step steps[] = {
        {0, 0xFFFF, false, true},  {0, 0xFFFF, false, false}, {0, 0xFFFF, true, false},
        {0, 0xFFFE, true, false},  {0, 0xFFFE, false, false}, {1, 0xFFFE, false, false},
        {1, 0xFFFF, false, false}, {-1, 0, true, false},      {1, 0xFFFF, false, false},
    };
    for (int step = 0; step < 9; ++step) {
        SCOPED_TRACE(step);
        clock.micros = step * kSecond;
        Capture();
        const Step& want = steps[step];
        EXPECT_EQ(IsControlCodeBusy(session->handle()), want.sequencer_busy);
        EXPECT_EQ(session->card().flash().IsBusy(), want.flash_busy);
        if (want.main_faults < 0) {
            EXPECT_EQ(report.reg_sts()[4], 0xFFFFFFFFu);
            continue;
        }
        EXPECT_EQ(report.reg_sts()[4], want.interface_word);
        EXPECT_EQ(ReadFaultTotals(report.reg_sts()).main, want.main_faults);
        EXPECT_EQ(ModuleFaultCount(Decode(10, kViewTemperature), kViewTemperature, false),
                  want.main_faults);
    }
}

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
