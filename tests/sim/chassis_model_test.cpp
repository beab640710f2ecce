#include "sim/chassis_model.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "card/card_ops.h"
#include "fake_ports.h"
#include "quiet_card.h"
#include "sim/simulated_card_session.h"
#include "status/antenna_status_page_model.h"
#include "status/report_fields.h"
#include "status/status_decoder.h"
#include "status/subsystem_health.h"
#include "status/temperature.h"
#include "temp_dir.h"

namespace vantu {
namespace {

constexpr std::int64_t kSecond = 1'000'000;

ChassisSettings Settings(std::uint64_t seed, double fault_rate) {
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
    double MeanTemperature() {
        double sum = 0;
        for (int m = 0; m < kModuleCount; ++m) {
            for (const QRecord& q : Decode(m, kViewTemperature).q) {
                for (std::uint8_t t : q.temp) {
                    sum += t;
                }
            }
        }
        return sum / (kModuleCount * 32);
    }

    testing::FakeClock clock;
    std::unique_ptr<SimulatedCardSession> session;
    ModuleTable table;
    ReportMemory report;
    SharedSettings shared;
    StatusDecoder decoder{table, report, shared};
};

TEST_F(ChassisModelTest, HealthyAntennaReportsNominalValues) {
    ChassisModel model(session->card(), clock, Settings(3, 0));
    clock.micros += 5 * kSecond;
    model.Update();
    Capture();
    auto sts = report.reg_sts();
    EXPECT_EQ(ReadFaultTotals(sts).main, 0);
    const HealthStates health = EvaluateHealth(sts);
    EXPECT_TRUE(health.power && health.environment && health.digital && health.rf);
    EXPECT_FALSE(health.exciter_input_fault || health.qtrm_input_fault);
    for (int m = 0; m < kModuleCount; ++m) {
        for (int view :
             {kViewQdxa, kViewTxRx, kViewVoltage, kViewTemperature, kViewSummary, kViewDigitalId}) {
            ASSERT_EQ(ModuleFaultCount(Decode(m, view), view, false), 0) << m << " " << view;
        }
    }
    EXPECT_GT(MeanTemperature(), 15);
    EXPECT_LT(MeanTemperature(), 30);
    // Slots no module has stay empty: column 0 has six modules.
    EXPECT_EQ(report.reg_qdxa_sts()[2 * 6], 0u);
    EXPECT_EQ(report.digital_ids()[6], 0u);
    EXPECT_EQ(report.digital_ids()[200], 0xFFu);
}

// Healthy, every reading of the antenna status page is within its limits; a health
// bit that is down takes its unit's reading out of them, and nothing else.
TEST_F(ChassisModelTest, DownHealthBitsTakeTheirReadingsOutOfLimits) {
    struct Red {
        std::size_t list;
        int row;
        int column;
    };
    struct Case {
        const char* stuck;
        std::vector<Red> red;
        const char* text;
    };
    const std::vector<Case> cases = {
        {"", {}, nullptr},
        {"W20-B3", {{4, 3, 0}}, "10.80"},
        {"W21-B13", {{5, 13, 0}}, "4.50"},
        {"W23-B0", {{12, 0, 0}}, "56.00"},
        {"W27-B31", {{16, 0, 0}}, "4.00"},
        {"W27-B11", {{18, 11, 0}}, "4.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stuck);
        ChassisSettings settings = Settings(5, 0);
        settings.stuck_faults = ParseStuckFaults(c.stuck);
        ChassisModel model(session->card(), clock, settings);
        Capture();
        AntennaStatusPage page;
        page.Refresh(report.reg_sts());
        int red = 0;
        for (std::size_t l = 0; l < AntennaLists().size(); ++l) {
            for (int row = 0; row < 14; ++row) {
                for (int column = 0; column < 2; ++column) {
                    red += page.value(l, row, column).out_of_limits ? 1 : 0;
                }
            }
        }
        EXPECT_EQ(red, static_cast<int>(c.red.size()));
        for (const Red& r : c.red) {
            EXPECT_TRUE(page.value(r.list, r.row, r.column).out_of_limits);
            EXPECT_EQ(page.value(r.list, r.row, r.column).text, c.text);
        }
    }
    // A digital unit whose health bit is down loses its link.
    ChassisSettings settings = Settings(5, 0);
    settings.stuck_faults = ParseStuckFaults("W24-B5");
    ChassisModel model(session->card(), clock, settings);
    Capture();
    EXPECT_EQ(report.reg_sts()[95], 0x3FFF3FFFu & ~(1u << 8));
}

TEST_F(ChassisModelTest, ElementsWarmWhileTheControlCodeRunsAndCoolAfterwards) {
    ChassisModel model(session->card(), clock, Settings(5, 0));
    Capture();
    const double idle = MeanTemperature();
    WriteCardRegister(session->handle(), 0xDFFC, 1);
    EnableControlCode(session->handle());
    clock.micros += 20 * kSecond;
    model.Update();
    Capture();
    const double warm = MeanTemperature();
    EXPECT_GT(warm, idle + 15);
    EXPECT_LE(Decode(80, kViewTemperature).q[0].temp[0], 55);
    StopControlCode(session->handle());
    clock.micros += 90 * kSecond;
    model.Update();
    Capture();
    EXPECT_LT(MeanTemperature(), idle + 3);
    EXPECT_EQ(model.steps(), 110);
}

TEST_F(ChassisModelTest, SameSeedRateAndScenarioGiveTheSameRun) {
    auto run = [this](std::uint64_t seed) {
        SimulatedCard card({.clock = &clock});
        const std::int64_t start = clock.micros;
        ChassisSettings settings = Settings(seed, 0.01);
        settings.scenario = {*ParseScenarioEvent("9-15 M001-E0-Q0-P5V")};
        ChassisModel model(card, clock, settings);
        std::vector<std::uint32_t> words;
        for (int update = 0; update < 3; ++update) {
            clock.micros += 7 * kSecond;
            model.Update();
        }
        for (std::uint32_t i = 0; i < kReportWords; ++i) {
            words.push_back(card.ReportWord(i));
        }
        clock.micros = start;
        return words;
    };
    EXPECT_EQ(run(11), run(11));
    EXPECT_NE(run(11), run(12));
}

TEST_F(ChassisModelTest, DecodedFaultTotalsEqualTheTotalsTheModelWrote) {
    ChassisModel model(session->card(), clock, Settings(7, 0.01));
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
    EXPECT_EQ(main, totals.main);
    EXPECT_EQ(slb, totals.slb);
}

TEST_F(ChassisModelTest, SimulationIniSetsSeedRateStuckFaultsAndAbsentModules) {
    testing::TempDir dir;
    EXPECT_EQ(LoadChassisSettings(dir.path()).seed, 1u);  // no file: defaults
    dir.Write("simulation.ini",
              "[SIMULATION]\r\nSEED=42\r\nFAULT_RATE=0\r\n"
              "STUCK_FAULTS=M010-E1-Q3-TX, m160-q2-sp; W27-B31 M200-Q1-SP, M011-Q9-SP, x\r\n"
              "ABSENT_MODULES=5, 999\r\n");
    ChassisSettings settings = LoadChassisSettings(dir.path());
    EXPECT_EQ(settings.seed, 42u);
    EXPECT_EQ(settings.fault_rate, 0.0);
    ASSERT_EQ(settings.stuck_faults.size(), 3u);
    EXPECT_EQ(settings.absent_modules, std::vector<int>{5});

    ChassisModel model(session->card(), clock, settings);
    Capture();
    const ModuleRecord& tx = Decode(10, kViewTxRx);
    EXPECT_EQ(tx.q[3].tx[1], 1);
    EXPECT_EQ(Decode(10, kViewSummary).q[3].trm_status[1], 1);
    EXPECT_EQ(Decode(kSlbModule, kViewQdxa).q[2].qdxa_sp_ok, 0);
    EXPECT_TRUE(EvaluateHealth(report.reg_sts()).exciter_input_fault);
    const ModuleRecord& absent = Decode(5, kViewDigitalId);
    for (int q = 0; q < 8; ++q) {
        EXPECT_EQ(absent.q[static_cast<std::size_t>(q)].digital_id, 0);
    }
    EXPECT_EQ(ModuleFaultCount(Decode(5, kViewSummary), kViewSummary, false), 32);
    EXPECT_EQ(ModuleFaultCount(Decode(5, kViewVoltage), kViewVoltage, false), 128);
    EXPECT_EQ(ReadFaultTotals(report.reg_sts()).main, 33);
    EXPECT_EQ(ReadFaultTotals(report.reg_sts()).slb, 0);
}

TEST_F(ChassisModelTest, SimulationIniSetsTimingsScenarioAndReplay) {
    testing::TempDir dir;
    dir.Write("simulation.ini",
              "[SIMULATION]\nWORD_TIME_US=1.5\nSPI_CLOCK_HZ=-3\nREPLAY=Log/rec.log\n"
              "[SCENARIO]\nA=30 m010-e1-q3-hot\nB=40-70 W4-B0\nC=5-5 CARD-SILENT\n"
              "D=x FLASH-BUSY\nE=7 M010-Q9-SP\nF=7\nG=1-2 flash-busy\n");
    const ChassisSettings settings = LoadChassisSettings(dir.path());
    const SimulatedCardConfig card = CardConfigOf(settings, nullptr);
    EXPECT_EQ(card.word_time_ns, 1500);
    EXPECT_EQ(card.spi_clock_hz, 25'000'000);  // out of range: the default
    EXPECT_EQ(settings.replay_path, dir.path() + "/Log/rec.log");
    ASSERT_EQ(settings.scenario.size(), 3u);
    EXPECT_EQ(settings.scenario[1].until_step, 70);
    EXPECT_EQ(settings.scenario[2].card, CardFault::kFlashBusy);

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
    ChassisSettings settings = Settings(1, 0);
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

// "from-until/period": on for the first half of every period, a fault that chatters.
TEST(ScenarioEventTest, ARepeatingEventComesAndGoesEachPeriod) {
    std::string seen;
    for (int step = 8; step < 32; ++step) {
        seen += ParseScenarioEvent("10-30/6 m020-e0-q0-tx")->ActiveAt(step) ? '1' : '0';
    }
    EXPECT_EQ(seen, "001110001110001110001100");
    EXPECT_FALSE(ParseScenarioEvent("10-30/1 W4-B0")) << "a period of 1 s never goes";
}

TEST_F(ChassisModelTest, ReplayShowsEachRecordedSnapshotForItsInterval) {
    testing::TempDir dir;
    // Module 0, Q0: element E2 faulty in the first save, E0 and E3 in the second; the
    // second save stops before word 6 of block 0.
    const std::pair<unsigned, unsigned> words[] = {
        {0, 0}, {0x8C00, 4}, {0x8818, 3}, {0, 0}, {0x8C00, 9}};
    std::string log;
    for (auto [offset, value] : words) {
        char line[120];
        std::snprintf(line, sizeof line,
                      "Index[0x000] reg_mem[0x%X] sys_rpt_reg [0x7F00] value[0x%.8X]   x\r\n",
                      offset, value);
        log += offset == 0 ? "update_qdxa_rpt_reg [0] ~ [13]\r\n" : line;
    }
    dir.Write("rec.log", log);
    ChassisSettings settings = Settings(1, 0);
    settings.replay_path = dir.File("rec.log");
    settings.replay_interval_s = 4;
    ChassisModel model(session->card(), clock, settings);
    ASSERT_TRUE(model.replaying());
    model.AttachToReads();
    struct Case {
        int second;
        std::array<std::uint8_t, 4> faulty;
    };
    for (const Case& c : {Case{3, {0, 0, 1, 0}}, Case{4, {1, 0, 0, 1}}, Case{40, {1, 0, 0, 1}}}) {
        clock.micros = c.second * kSecond;
        Capture();
        SCOPED_TRACE(c.second);
        EXPECT_EQ(Decode(0, kViewSummary).q[0].trm_status, c.faulty);
        // Words a later save does not list keep the value of the save before.
        EXPECT_EQ(ReadFaultTotals(report.reg_sts()).main, 3);
        EXPECT_EQ(report.reg_sts()[4], 0u);
    }
}

TEST_F(ChassisModelTest, ClearedBlockIsRefilledAtTheNextRead) {
    ChassisModel model(session->card(), clock, Settings(1, 0));
    model.AttachToReads();
    ClearReportBlock(session->handle(), 0);
    EXPECT_EQ(session->card().ReportWord(4), 0u);
    ReadReportBlock(session->handle(), report.sys_rpt_reg().data(), 0);
    EXPECT_EQ(report.reg_sts()[4], 0x0000FFFFu);
    EXPECT_EQ(report.reg_sts()[32] >> 16 > 30000, true);
}

TEST_F(ChassisModelTest, AttachedModelSeesEveryBlockReadInsteadOfAMapping) {
    {
        ChassisModel model(session->card(), clock, Settings(1, 0));
        model.AttachToReads();
        EXPECT_EQ(session->driver().MappedBar(session->handle(), 0).base, nullptr);
        clock.micros += 3 * kSecond;
        ReadReportBlock(session->handle(), report.sys_rpt_reg().data(), 9);
        EXPECT_EQ(model.steps(), 3);
    }
    EXPECT_NE(session->driver().MappedBar(session->handle(), 0).base, nullptr);
}

}  // namespace
}  // namespace vantu
