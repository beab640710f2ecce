#include "status/main_page_refresh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/settings.h"
#include "decoding_commands.h"
#include "recording_sink.h"
#include "report_builder.h"
#include "status/antenna_layout.h"
#include "status/status_colours.h"
#include "status/subsystem_health.h"
#include "status/temperature.h"

namespace vantu {
namespace {

// What the refresh drew on the list (texts copied at once) and the grid.
struct DrawnCell {
    Colour background = 0;
    std::string text;
    std::string tooltip;
};

struct FakeSurface : MainPageSurface {
    CellSink& antenna_grid() override { return grid; }
    void SetStatusCell(const StatusCell& cell) override {
        list[{cell.row, cell.column}] = {cell.background, std::string(cell.text),
                                         std::string(cell.tooltip)};
        ++list_cells;
    }
    void SetStatusMark(int row, int column, bool set) override {
        marks[{row, column}] = set;
        ++mark_calls;
    }
    void ShowIndicator(HealthIndicator indicator, bool healthy) override {
        indicators.emplace_back(indicator, healthy);
    }

    testing::RecordingSink grid;
    std::map<std::pair<int, int>, DrawnCell> list;
    int list_cells = 0;
    std::map<std::pair<int, int>, bool> marks;
    int mark_calls = 0;
    std::vector<std::pair<HealthIndicator, bool>> indicators;
};

class MainPageRefreshTest : public ::testing::Test, protected testing::DecoderRig {
  protected:
    MainPageRefreshTest() { shared.temp_masks.fill(0xFFFFFFFF); }

    std::uint32_t& Sts(std::size_t word) { return report.array(ReportArray::kSts)[word]; }

    MainPageRefresh refresh{decoder, report, shared};
    FakeSurface surface;
};

TEST_F(MainPageRefreshTest, InterfaceStatesAndTotalsAreRedrawnOnlyWhenTheirWordsChange) {
    Sts(4) = 0x0000FFFF;
    Sts(5) = 0xFFFF0000;
    Sts(6) = (3u << 15) | 12u;
    refresh.Refresh(&surface);

    const auto& list = surface.list;
    const auto state = [&](int row) {
        return std::tuple(list.at({row, 4}).text, list.at({row, 4}).background,
                          list.at({row, 4}).tooltip);
    };
    const std::string words = "正常 : [0x0000FFFF]\n異常 : [0xFFFF0000]\n回報 : ";
    EXPECT_EQ(state(1), std::tuple("正常", Rgb(120, 120, 120), words + "[0x0000FFFF]"));
    EXPECT_EQ(state(4), std::tuple("異常", Rgb(130, 0, 50), words + "[0xFFFF0000]"));
    EXPECT_EQ(std::tuple(list.at({1, 7}).text, list.at({4, 7}).text), std::tuple("3 ", "12 "));
    using Marks = std::map<std::pair<int, int>, bool>;
    EXPECT_EQ(surface.marks,
              (Marks{{{1, 2}, false}, {{4, 2}, true}, {{1, 5}, true}, {{4, 5}, true}}));

    // Four cells and four marks, drawn once and not again.
    refresh.Refresh(&surface);
    EXPECT_EQ(std::pair(surface.list_cells, surface.mark_calls), std::pair(4, 4));

    Sts(6) = 0;  // the totals only
    refresh.Refresh(&surface);
    EXPECT_EQ(surface.list_cells, 6);
    EXPECT_EQ(list.at({1, 7}).text, "0 ");
    EXPECT_EQ(surface.marks,
              (Marks{{{1, 2}, false}, {{4, 2}, true}, {{1, 5}, false}, {{4, 5}, false}}));
}

TEST_F(MainPageRefreshTest, IndicatorsChangeOnlyWhenTheirStateChanges) {
    using Shown = std::vector<std::pair<HealthIndicator, bool>>;
    refresh.Refresh(&surface);  // all words 0: every group faulty
    EXPECT_EQ(surface.indicators, (Shown{{HealthIndicator::kPower, false},
                                         {HealthIndicator::kEnvironment, false},
                                         {HealthIndicator::kDigital, false},
                                         {HealthIndicator::kRf, false},
                                         {HealthIndicator::kExciterInput, false},
                                         {HealthIndicator::kQtrmInput, false}}));

    surface.indicators.clear();
    refresh.Refresh(&surface);
    EXPECT_TRUE(surface.indicators.empty());

    std::ranges::fill(report.array(ReportArray::kSts).subspan(20, 8), 0xFFFFFFFF);
    refresh.Refresh(&surface);
    EXPECT_EQ(surface.indicators.size(), 6u);
    EXPECT_TRUE(
        std::ranges::all_of(surface.indicators, [](const auto& shown) { return shown.second; }));

    surface.indicators.clear();
    Sts(27) = 0x7FFFFFFF;  // bit 31: the RF group and the EXCITER input power
    refresh.Refresh(&surface);
    EXPECT_EQ(surface.indicators,
              (Shown{{HealthIndicator::kRf, false}, {HealthIndicator::kExciterInput, false}}));
}

TEST_F(MainPageRefreshTest, NothingIsShownFromBlocksNotYetRead) {
    report.Zero();
    shared.display_mode = kDisplayTrmTemperature;
    Sts(4) = 0x0000FFFF;
    refresh.Refresh(&surface);
    EXPECT_TRUE(surface.indicators.empty());
    EXPECT_EQ(surface.list_cells + surface.mark_calls, 0);

    report.MarkCaptured(0);  // `reg_sts`
    refresh.Refresh(&surface);
    EXPECT_EQ(surface.indicators.size(), 6u);
    EXPECT_EQ(surface.list_cells, 4);

    // `reg_trm_temp` lies in blocks 10 to 13: the grid waits for the last of them.
    for (std::uint32_t block = 10; block < 13; ++block) {
        report.MarkCaptured(block);
    }
    refresh.Refresh(&surface);
    EXPECT_TRUE(surface.grid.cells.empty());
    EXPECT_FALSE(refresh.showed_report());
    report.MarkCaptured(13);
    refresh.Refresh(&surface);
    // 32 cells a module, no two modules sharing one.
    EXPECT_EQ(surface.grid.cells.size(), static_cast<std::size_t>(kModuleCount * 32));
    EXPECT_EQ(surface.grid.batches, kModuleCount);
    EXPECT_TRUE(refresh.showed_report());
}

TEST_F(MainPageRefreshTest, WithoutSurfaceOrTableNothingIsDrawn) {
    shared.display_mode = kDisplayTrmStatus;
    testing::PutQField(report, QFieldArray::kTrmSts, 7, 5, 1);
    refresh.Refresh(nullptr);
    EXPECT_EQ(table.records[7].q[5].trm_status[0], 1);  // still decoded

    FreeModuleTable(table);
    refresh.Refresh(&surface);
    EXPECT_TRUE(surface.grid.cells.empty());
    EXPECT_EQ(surface.indicators.size(), 6u);  // the words are read all the same
}

auto Fields(const HealthStates& s) {
    return std::tuple(s.power, s.environment, s.digital, s.rf, s.exciter_input_fault,
                      s.qtrm_input_fault);
}

TEST(SubsystemHealthTest, GroupsFollowTheirWordsAndExcludedBits) {
    using H = HealthStates;
    struct Case {
        const char* what;
        std::size_t word;
        int bit;                         // cleared in an otherwise healthy report
        std::vector<bool H::*> changed;  // the states that differ from a healthy report's
    };
    const Case cases[] = {
        {"power word 20", 20, 0, {&H::power}},
        {"power word 20 excluded bit 21 belongs to environment", 20, 21, {&H::environment}},
        {"power word 20 bit 29 not counted", 20, 29, {}},
        {"environment word 22 never counts", 22, 0, {}},
        {"digital word 26", 26, 0, {&H::digital}},
        {"rf and exciter", 27, 31, {&H::rf, &H::exciter_input_fault}},
        {"rf and qtrm", 27, 11, {&H::rf, &H::qtrm_input_fault}},
        {"rf only", 27, 16, {&H::rf}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HealthStates expected;
        for (bool H::*state : c.changed) {
            expected.*state = !(expected.*state);
        }
        ReportMemory report = testing::HealthyReport();
        report.array(ReportArray::kSts)[c.word] &= ~(1u << c.bit);
        EXPECT_EQ(Fields(EvaluateHealth(report.reg_sts())), Fields(expected));
    }
}

}  // namespace
}  // namespace vantu
