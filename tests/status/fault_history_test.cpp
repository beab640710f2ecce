#include "status/fault_history.h"
#include "status/fault_view.h"
#include "status/report_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "fake_ports.h"
#include "report_builder.h"
#include "temp_dir.h"

namespace vantu {
namespace {

using Faults = std::array<std::uint8_t, kFaultSourceCount>;

std::vector<std::size_t> FaultyIndices(const ReportMemory& report) {
    Faults faults{};
    CollectFaults(report, faults);
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < faults.size(); ++i) {
        if (faults[i] != 0) {
            out.push_back(i);
        }
    }
    return out;
}

TEST(FaultSourcesTest, EveryIndexNamesOneSourceAndBack) {
    for (std::size_t i = 0; i < kFaultSourceCount; ++i) {
        ASSERT_EQ(FaultIndex(FaultSourceAt(i)), i);
    }
    EXPECT_EQ(FaultSourceAt(kFaultSourceCount - 1),
              (FaultSource{FaultKind::kHealth, -1, -1, -1, 3}));
}

TEST(FaultSourcesTest, EachReportBitRaisesOnlyItsOwnSource) {
    using testing::PutQField;
    EXPECT_TRUE(FaultyIndices(testing::HealthyReport()).empty());
    struct Case {
        void (*change)(ReportMemory&);
        FaultSource expected;
    };
    const Case cases[] = {
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kTrmSts, 0, 0, 0b1000); },
         {FaultKind::kElement, 0, 0, 3, 0}},
        // -6 V of element 2 on the SLB's last channel: bit 4e of the field.
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kTrmPwr, 160, 7, 0xFEFF); },
         {FaultKind::kSupply, 160, 7, 2, 3}},
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kTrmTxRx, 37, 4, 0b00000010); },
         {FaultKind::kTx, 37, 4, 0, 0}},
        // Over-temperature is a fault when set; the other three when clear.
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kQdxaSts, 5, 1, 0xF0); },
         {FaultKind::kQdxaFlag, 5, 1, -1, 1}},
        {[](ReportMemory& r) { PutQField(r, QFieldArray::kQdxaSts, 5, 1, 0x90); },
         {FaultKind::kQdxaFlag, 5, 1, -1, 2}},
        {[](ReportMemory& r) { r.array(ReportArray::kSts)[kInternalInterfaceWord] = 0x1FFFF; },
         {FaultKind::kInterface, -1, -1, -1, 1}},
        {[](ReportMemory& r) { r.array(ReportArray::kSts)[27] = 0xFFFFFFFE; },
         {FaultKind::kHealth, -1, -1, -1, 3}},
    };
    for (const Case& c : cases) {
        ReportMemory report = testing::HealthyReport();
        c.change(report);
        EXPECT_EQ(FaultyIndices(report), std::vector<std::size_t>{FaultIndex(c.expected)})
            << FaultCsvLine({0, {}, c.expected, true});
    }
}

class FaultHistoryTest : public ::testing::Test {
  protected:
    FaultHistoryTest() : logs(dir.path(), clock) { dir.MakeDir("Log"); }

    void Tick(std::initializer_list<std::size_t> faulty, int second) {
        Faults faults{};
        for (std::size_t i : faulty) {
            faults[i] = 1;
        }
        history.Record(faults, {2026, 12, 5, 19, 46, second});
    }
    std::string Log() const { return dir.Read("Log/2026-12-5.faults.csv"); }

    testing::TempDir dir;
    testing::FakeClock clock;
    LogFiles logs;
    FaultHistory history{&logs};
    const std::size_t supply = FaultIndex({FaultKind::kSupply, 12, 3, 1, 1});
    const std::size_t sp = FaultIndex({FaultKind::kInterface, -1, -1, -1, 0});
};

TEST_F(FaultHistoryTest, TransitionsAreRecordedOnceEachWayWithTheirTimes) {
    Tick({}, 0);
    Tick({supply, sp}, 3);
    Tick({supply, sp}, 6);
    Tick({sp}, 9);
    Tick({}, 12);
    ASSERT_EQ(history.entries().size(), 4u);
    EXPECT_EQ(Log(),
              "time,kind,module,Q,E,item,state\n"
              "2026-12-05 19:46:03,supply,12,3,1,9.5V,fault\n"
              "2026-12-05 19:46:03,interface,,,,SP,fault\n"
              "2026-12-05 19:46:09,supply,12,3,1,9.5V,clear\n"
              "2026-12-05 19:46:12,interface,,,,SP,clear\n");
    EXPECT_TRUE(history.Latched(supply));
    EXPECT_FALSE(history.Faulty(supply));
}

TEST_F(FaultHistoryTest, AcknowledgeClearsTheLatchUnlessALaterFaultIsPending) {
    Tick({supply}, 0);
    Tick({}, 3);
    Tick({supply}, 6);
    const auto& e = history.entries();
    ASSERT_EQ(e.size(), 3u);
    history.Acknowledge(e[1].id);
    EXPECT_TRUE(e[0].acknowledged && e[1].acknowledged && !e[2].acknowledged);
    EXPECT_TRUE(history.Latched(supply)) << "the second appearance is not acknowledged";
    history.Acknowledge(e[2].id);
    EXPECT_FALSE(history.Latched(supply));
    EXPECT_TRUE(history.Faulty(supply));

    Tick({sp}, 9);
    const std::uint64_t revision = history.revision();
    history.Acknowledge(9999);
    EXPECT_TRUE(history.Latched(sp));
    history.AcknowledgeAll();
    EXPECT_FALSE(history.Latched(sp));
    EXPECT_GT(history.revision(), revision);
}

TEST_F(FaultHistoryTest, ARestartKeepsTheFileButNotTheAcknowledgements) {
    Tick({supply}, 0);
    history.AcknowledgeAll();
    FaultHistory restarted(&logs);
    EXPECT_TRUE(restarted.entries().empty());
    Faults faults{};
    faults[supply] = 1;
    restarted.Record(faults, {2026, 12, 5, 20, 0, 0});
    EXPECT_TRUE(restarted.Latched(supply));
    EXPECT_EQ(Log(),
              "time,kind,module,Q,E,item,state\n"
              "2026-12-05 19:46:00,supply,12,3,1,9.5V,fault\n"
              "2026-12-05 20:00:00,supply,12,3,1,9.5V,fault\n");
}

TEST_F(FaultHistoryTest, TheViewFiltersNewestFirstAndExportsWhatItShows) {
    const std::size_t tx = FaultIndex({FaultKind::kTx, 12, 0, 0, 0});
    Tick({supply, sp, tx}, 0);
    Tick({}, 3);
    history.Acknowledge(history.entries()[0].id);  // supply, appeared
    struct Case {
        FaultFilter filter;
        std::vector<std::uint64_t> ids;
    };
    const Case cases[] = {
        {{}, {6, 5, 4, 3, 2, 1}},
        {{12, std::nullopt, false}, {5, 4, 2, 1}},
        {{12, FaultKind::kSupply, false}, {4, 1}},
        {{-1, FaultKind::kInterface, false}, {6, 3}},
        {{12, std::nullopt, true}, {5, 4, 2}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint64_t> ids;
        for (const FaultEntry* e : FilterFaults(history, c.filter)) {
            ids.push_back(e->id);
        }
        EXPECT_EQ(ids, c.ids) << c.filter.module;
    }
    EXPECT_EQ(FaultViewCsv(FilterFaults(history, {12, FaultKind::kSupply, false})),
              "time,kind,module,Q,E,item,state,acknowledged\n"
              "2026-12-05 19:46:03,supply,12,3,1,9.5V,clear,no\n"
              "2026-12-05 19:46:00,supply,12,3,1,9.5V,fault,yes\n");
}

// A cycle is 14 polls; the last one completes it.
void PollCycle(ReportWatch& watch, ReportMemory& report, ReportPoll failing_poll) {
    for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
        report.MarkCaptured(block);
        watch.Polled(block == 5 ? failing_poll : ReportPoll::kRead, block + 1 == kReportBlockCount);
    }
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
        PollCycle(watch, report, ReportPoll::kRead);
        clock.micros = 7'500'000;
        report.array(ReportArray::kSts)[kSpInterfaceWord] = 0;
        if (c.all_ones_block >= 0) {
            std::fill_n(report.sys_rpt_reg().begin() + c.all_ones_block * kReportBlockWords,
                        kReportBlockWords, 0xFFFFFFFFu);
        }
        PollCycle(watch, report, c.poll5);
        EXPECT_EQ(watch.stale(), c.stale) << c.name;
        EXPECT_EQ(watch.history().entries().size(), c.stale ? 0u : 1u) << c.name;
        EXPECT_EQ(watch.AgeSeconds(), c.stale ? 7 : 0) << c.name;
    }
}

}  // namespace
}  // namespace vantu
