#include "status/fault_history.h"
#include "status/fault_history_page_model.h"
#include "status/report_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

#include "fake_ports.h"
#include "report_builder.h"
#include "temp_dir.h"

namespace vantu {
namespace {

using Faults = std::array<std::uint8_t, kFaultSourceCount>;

std::vector<FaultSource> FaultySources(const ReportMemory& report) {
    Faults faults{};
    CollectFaults(report, faults);
    std::vector<FaultSource> out;
    for (std::size_t i = 0; i < faults.size(); ++i) {
        if (faults[i] != 0) {
            out.push_back(FaultSourceAt(i));
        }
    }
    return out;
}

TEST(FaultSourcesTest, EveryIndexNamesOneSourceAndBack) {
    for (std::size_t i = 0; i < kFaultSourceCount; ++i) {
        ASSERT_EQ(FaultIndex(FaultSourceAt(i)), i);
    }
    EXPECT_EQ(FaultSourceAt(kFaultSourceCount - 1),
              (FaultSource{FaultKind::kInputPower, -1, -1, -1, 1}));
}

TEST(FaultSourcesTest, EachReportBitRaisesOnlyItsOwnSource) {
    using testing::PutQField;
    EXPECT_TRUE(FaultySources(testing::HealthyReport()).empty());
    struct Case {
        void (*change)(ReportMemory&);
        std::vector<FaultSource> expected;
    };
    const Case cases[] = {
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kTrmSts, 0, 0, 0b1000); },
         {{FaultKind::kElement, 0, 0, 3, 0}}},
        // The status flag of an element whose Tx flag is up is that one alarm.
        {[](ReportMemory& r) {
             PutQField(r, QFieldArray::kTrmSts, 0, 0, 0b1000);
             PutQField(r, QFieldArray::kTrmTxRx, 0, 0, 0b10000000);
         },
         {{FaultKind::kTx, 0, 0, 3, 0}}},
        // -6 V of element 2 on the SLB's last channel: bit 4e of the field.
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kTrmPwr, 160, 7, 0xFEFF); },
         {{FaultKind::kSupply, 160, 7, 2, 3}}},
        // Over-temperature is a fault when set; the other three when clear.
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kQdxaSts, 5, 1, 0xF0); },
         {{FaultKind::kQdxaFlag, 5, 1, -1, 1}}},
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kQdxaSts, 5, 1, 0x90); },
         {{FaultKind::kQdxaFlag, 5, 1, -1, 2}}},
        {[](ReportMemory& r) { r.array(ReportArray::kSts)[kInternalInterfaceWord] = 0x1FFFF; },
         {{FaultKind::kInterface, -1, -1, -1, 1}}},
        // Bit 31 of word 27 is the EXCITER input power and one of the RF group's bits.
        {[](ReportMemory& r) { r.array(ReportArray::kSts)[27] = 0x7FFFFFFF; },
         {{FaultKind::kHealth, -1, -1, -1, 3}, {FaultKind::kInputPower, -1, -1, -1, 0}}},
        // 58 °C: above the TRM limit; at the QDX-A's.
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kTrmTemp, 9, 3, 0x0B00); },
         {{FaultKind::kOverTemperature, 9, 3, 2, 0}}},
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kQdxaSts, 9, 6, 0xBB); },
         {{FaultKind::kQdxaTemperature, 9, 6, -1, 0}}},
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kDigitalId, 9, 0, 0xFB); },
         {{FaultKind::kDigitalId, 9, 2, -1, 0}}},
    };
    for (const Case& c : cases) {
        ReportMemory report = testing::HealthyReport();
        c.change(report);
        EXPECT_EQ(FaultySources(report), c.expected)
            << FaultCsvLine({}, c.expected.back(), "fault");
    }
}

class FaultHistoryTest : public ::testing::Test {
  protected:
    FaultHistoryTest() : logs(dir.path(), clock) { dir.MakeDir("Log"); }

    // second counts from 19:46:00; past 59 it runs into the next minutes.
    static LocalTime At(int second) { return {2026, 12, 5, 19, 46 + second / 60, second % 60}; }
    using Sources = std::vector<std::size_t>;
    void Tick(FaultHistory& h, const Sources& faulty, int second) {
        Faults faults{};
        for (std::size_t i : faulty) {
            faults[i] = 1;
        }
        h.Record(faults, At(second));
    }
    void Tick(const Sources& faulty, int second) { Tick(history, faulty, second); }
    std::string Log() const { return dir.Read("Log/2026-12-5.faults.csv"); }
    std::vector<std::string> Events() const { return EventsIn(Log()); }
    // The event column of every log line after the header.
    static std::vector<std::string> EventsIn(const std::string& log) {
        std::vector<std::string> events;
        std::istringstream lines(log);
        std::string line;
        std::getline(lines, line);
        while (std::getline(lines, line)) {
            std::size_t at = 0;
            for (int field = 0; field < 6; ++field) {
                at = line.find(',', at) + 1;
            }
            events.push_back(line.substr(at, line.find(',', at) - at));
        }
        return events;
    }

    testing::TempDir dir;
    testing::FakeClock clock;
    LogFiles logs;
    FaultHistory history{&logs};
    const std::size_t supply = FaultIndex({FaultKind::kSupply, 12, 3, 1, 1});
    const std::size_t sp = FaultIndex({FaultKind::kInterface, -1, -1, -1, 0});
};

// One source through raises (r), clears (c) and acknowledgements (a) at the seconds
// given: how many alarms it makes, the newest one's state and the log's events.
TEST_F(FaultHistoryTest, EventSequencesGiveOneAlarmPerOccurrence) {
    struct Case {
        std::vector<std::pair<char, int>> steps;
        std::size_t alarms;
        AlarmState state;
        std::vector<std::string> events;
    };
    using S = AlarmState;
    const S open = S::kActiveUnacknowledged;
    const Case cases[] = {
        {{{'r', 0}}, 1, open, {"fault"}},
        {{{'r', 0}, {'a', 1}}, 1, S::kActiveAcknowledged, {"fault", "ack"}},
        {{{'r', 0}, {'c', 5}}, 1, S::kClearedUnacknowledged, {"fault", "clear"}},
        {{{'r', 0}, {'c', 5}, {'a', 6}}, 1, S::kNormal, {"fault", "clear", "ack"}},
        {{{'r', 0}, {'a', 1}, {'c', 5}, {'a', 6}}, 1, S::kNormal, {"fault", "ack", "clear"}},
        // Three changes within 60 s chatter: the raise folds into the open alarm.
        {{{'r', 0}, {'c', 30}, {'r', 59}}, 1, open, {"fault", "clear", "fault"}},
        {{{'r', 0}, {'c', 30}, {'r', 60}}, 2, open, {"fault", "clear", "fault"}},
        // A chattering source whose alarm is over raises a new one.
        {{{'r', 0}, {'c', 5}, {'a', 6}, {'r', 10}}, 2, open, {"fault", "clear", "ack", "fault"}},
    };
    for (const Case& c : cases) {
        testing::TempDir case_dir;
        case_dir.MakeDir("Log");
        LogFiles case_logs(case_dir.path(), clock);
        FaultHistory h(&case_logs);
        for (const auto& [step, second] : c.steps) {
            if (step == 'a') {
                h.Acknowledge(h.entries().back().id, At(second), "op");
            } else {
                Tick(h, step == 'r' ? Sources{supply} : Sources{}, second);
            }
        }
        EXPECT_EQ(h.entries().size(), c.alarms) << c.steps.size();
        EXPECT_EQ(h.StateOf(h.entries().back()), c.state) << c.steps.size();
        EXPECT_EQ(h.Latched(supply), c.state != S::kNormal && c.state != S::kActiveAcknowledged);
        EXPECT_EQ(EventsIn(case_dir.Read("Log/2026-12-5.faults.csv")), c.events);
    }
    Tick({supply, sp}, 3);
    history.Acknowledge(history.entries().front().id, At(4), "op", "bay 2, \"left\"");
    EXPECT_EQ(Log(),
              "time,kind,module,Q,E,item,state,priority,user,comment\n"
              "2026-12-05 19:46:03,supply,12,3,1,9.5V,fault,high,,\n"
              "2026-12-05 19:46:03,interface,,,,SP,fault,high,,\n"
              "2026-12-05 19:46:04,supply,12,3,1,9.5V,ack,high,op,\"bay 2, \"\"left\"\"\"\n");
}

TEST_F(FaultHistoryTest, ShelvesReturnByThemselvesOrWhenTheOperatorReturnsThem) {
    const std::size_t shelved[] = {supply};
    history.Shelve(shelved, 60, "maintenance", At(0), "op");
    Tick({supply}, 10);
    EXPECT_EQ(history.StateOf(history.entries().back()), AlarmState::kShelved);
    const AlarmFigures shelf = history.Figures(At(10));
    EXPECT_EQ(std::pair(shelf.shelved, shelf.last_10_minutes), std::pair(1, 0));
    Tick({supply}, 60);
    EXPECT_EQ(history.StateOf(history.entries().back()), AlarmState::kActiveUnacknowledged);
    const std::size_t out[] = {sp};
    history.Shelve(out, 0, "", At(61), "op");
    Tick({supply}, 5000);
    EXPECT_NE(history.ShelfOf(sp), nullptr);
    history.Unshelve(out, At(5001), "op");
    EXPECT_EQ(history.ShelfOf(sp), nullptr);
    EXPECT_EQ(Events(),
              (std::vector<std::string>{"shelve", "fault", "return", "shelve", "return"}));
}

// More than 10 new alarms within 10 minutes is a flood; a source chatters while its last
// 3 changes lie within 60 s.
TEST_F(FaultHistoryTest, FloodAndChatterAtTheirEdges) {
    Faults faults{};
    for (int i = 0; i < 11; ++i) {
        faults[FaultIndex({FaultKind::kTx, i, 0, 0, 0})] = 1;
        history.Record(faults, At(i * 30));
        EXPECT_EQ(history.Figures(At(i * 30)).flood, i == 10) << i;
    }
    EXPECT_EQ(history.Figures(At(599)).last_10_minutes, 11);
    EXPECT_EQ(std::pair(history.Figures(At(600)).last_10_minutes, history.Figures(At(600)).flood),
              std::pair(10, false));
    const AlarmFigures later = history.Figures(At(1200));
    EXPECT_EQ(std::tuple(later.shift_per_10_minutes, later.standing, later.unacknowledged[1]),
              std::tuple(5.5, 11, 11));

    const auto chattering = [&](int second) { return history.Figures(At(second)).chattering; };
    Tick({sp}, 1300);
    Tick({}, 1310);
    EXPECT_EQ(chattering(1310), 0);
    Tick({sp}, 1320);
    EXPECT_EQ(std::tuple(chattering(1320), chattering(1359), chattering(1360)),
              std::tuple(1, 1, 0));
}

TEST_F(FaultHistoryTest, ARestartKeepsTheFileButNotTheAcknowledgements) {
    Tick({supply}, 0);
    history.AcknowledgeAll(At(1), "op");
    FaultHistory restarted(&logs);
    EXPECT_TRUE(restarted.entries().empty());
    Tick(restarted, {supply}, 600);
    EXPECT_TRUE(restarted.Latched(supply));
    EXPECT_EQ(Events(), (std::vector<std::string>{"fault", "ack", "fault"}));
}

TEST_F(FaultHistoryTest, TheViewFiltersAndExportsWhatItShows) {
    const std::size_t tx = FaultIndex({FaultKind::kTx, 12, 0, 0, 0});
    Tick({supply, sp, tx}, 0);
    Tick({}, 3);
    const auto of_supply = [&](const FaultEntry& e) { return FaultIndex(e.source) == supply; };
    history.Acknowledge(std::ranges::find_if(history.entries(), of_supply)->id, At(4), "op");
    struct Case {
        FaultFilter filter;
        std::set<std::size_t> sources;
    };
    const Case cases[] = {
        {{-1, FaultKind::kInterface, std::nullopt, false}, {sp}},
        {{12, std::nullopt, std::nullopt, true}, {tx}},
        {{-1, std::nullopt, AlarmPriority::kHigh, false}, {sp, supply}},
    };
    for (const Case& c : cases) {
        std::set<std::size_t> sources;
        for (const FaultEntry* e : FilterFaults(history, c.filter)) {
            sources.insert(FaultIndex(e->source));
        }
        EXPECT_EQ(sources, c.sources) << c.filter.module;
    }
    EXPECT_EQ(FaultViewCsv(history, FilterFaults(history, {12, FaultKind::kSupply, {}, false})),
              "raised,cleared,acknowledged,user,priority,kind,module,Q,E,item,state,comment\n"
              "2026-12-05 19:46:00,2026-12-05 19:46:03,2026-12-05 19:46:04,op,high,supply,12,3,1,"
              "9.5V,normal,\n");
}

TEST(ReportWatchTest, UnreadableCyclesAreStaleAndRecordNoFault) {
    struct Case {
        const char* name;
        ReportPoll poll5;
        int all_ones_block;  // -1: none
        bool stale;
    };
    const Case cases[] = {
        {"healthy", ReportPoll::kRead, -1, false},
        {"poll failed", ReportPoll::kFailed, -1, true},
        {"skipped poll", ReportPoll::kNone, -1, false},
        {"status block all ones", ReportPoll::kRead, 0, true},
        {"last block all ones", ReportPoll::kRead, 13, true},
        {"supply block all ones", ReportPoll::kRead, 9, false},
    };
    for (const Case& c : cases) {
        testing::FakeClock clock;
        ReportMemory report = testing::HealthyReport();
        ReportWatch watch(report, clock, nullptr);
        EXPECT_EQ(watch.AgeSeconds(), -1);
        testing::PollCycle(watch, report);
        clock.micros = 7'500'000;
        report.array(ReportArray::kSts)[kSpInterfaceWord] = 0;
        if (c.all_ones_block >= 0) {
            std::fill_n(report.sys_rpt_reg().begin() + c.all_ones_block * kReportBlockWords,
                        kReportBlockWords, 0xFFFFFFFFu);
        }
        testing::PollCycle(watch, report, c.poll5);
        EXPECT_EQ(watch.stale(), c.stale) << c.name;
        EXPECT_EQ(watch.history().entries().size(), c.stale ? 0u : 1u) << c.name;
        EXPECT_EQ(watch.AgeSeconds(), c.stale ? 7 : 0) << c.name;
    }
}

}  // namespace
}  // namespace vantu
