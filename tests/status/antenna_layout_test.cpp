#include "status/antenna_layout.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "status/antenna_readings.h"
#include "status/antenna_status_page_model.h"
#include "status/report_memory.h"

namespace vantu {
namespace {

TEST(AntennaLayoutTest, ModulesAreNumberedColumnByColumn) {
    const ModulePlace slb = PlaceOfModule(kSlbModule);
    EXPECT_EQ(std::tuple(PlaceOfModule(6).column, PlaceOfModule(159).index, slb.column, slb.index),
              std::tuple(1, 5, 12, 8));
    EXPECT_EQ(ReportSlot(0x13, 0x12), 0x32);  // both masked to four bits
}

TEST(AntennaLayoutTest, CellTablesAndPositionLookupAgree) {
    for (int m = 0; m < kModuleCount; ++m) {
        const GridCell& cell = kPositionCells[static_cast<std::size_t>(m)];
        EXPECT_EQ(PositionCellModule(cell.row, cell.column), m) << m;
        EXPECT_EQ(IsOutsideOutline(cell.row, cell.column), m == kSlbModule) << m;
    }
    // Cells beside the outline belong to no module.
    EXPECT_EQ(PositionCellModule(4, 1), -1);
    EXPECT_TRUE(IsOutsideOutline(1, 4));
    EXPECT_FALSE(IsOutsideOutline(1, 5));
}

// Which half a module belongs to; the modules each half lists are the status page's test.
TEST(AntennaLayoutTest, HalfOfModuleSplitsEachColumnAtItsMiddle) {
    for (const auto& [module, column, lower] :
         {std::tuple{160, 12, true}, {149, 12, false}, {3, 0, true}, {2, 0, false}}) {
        EXPECT_EQ(std::pair(HalfOfModule(module).column, HalfOfModule(module).lower),
                  std::pair(column, lower));
    }
}

// List indices in page order.
constexpr std::size_t k300V = 0;
constexpr std::size_t kQdxcPower = 2;
constexpr std::size_t kQdxb12V = 4;
constexpr std::size_t kQdxbLinks = 15;

TEST(AntennaReadings, LimitEdges) {
    struct Case {
        std::size_t word;
        std::uint32_t value;
        std::size_t list;
        int row;
        int column;
        const char* text;
        bool red;
    };
    const Case cases[] = {
        {32, 32498u, k300V, 1, 0, "285.01", false},
        {32, 32497u, k300V, 1, 0, "285.00", true},
        // Shown rounded, judged on the raw value.
        {36, 1801u, kQdxcPower, 0, 1, "1.80", true},
        // Two readings of one word are judged apart.
        {38, 12601u << 16 | 11400u, kQdxb12V, 1, 0, "12.60", true},
        {38, 12601u << 16 | 11400u, kQdxb12V, 0, 0, "11.40", false},
        {95, 1u << 29 | 1u << 0, kQdxbLinks, 13, 1, "1", false},
        {95, 1u << 29 | 1u << 0, kQdxbLinks, 13, 0, "0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "word " << c.word << " = " << c.value);
        ReportMemory report;
        report.array(ReportArray::kSts)[c.word] = c.value;
        AntennaStatusPage page;
        page.Refresh(report.reg_sts());
        EXPECT_EQ(page.value(c.list, c.row, c.column).text, c.text);
        EXPECT_EQ(page.value(c.list, c.row, c.column).out_of_limits, c.red);
    }
}

// Every value cell of every list is filled by exactly one reading, except the list
// "風速 / 入水" that stays empty.
TEST(AntennaReadings, EachCellHasOneReading) {
    const auto lists = AntennaLists();
    ASSERT_EQ(lists.size(), 19u);
    std::vector<std::vector<int>> hits;
    for (const AntennaList& list : lists) {
        hits.emplace_back(list.row_labels.size() * list.value_headers.size());
    }
    for (const Reading& r : AntennaReadings()) {
        ASSERT_LT(r.list, lists.size());
        ASSERT_LT(static_cast<std::size_t>(r.row), lists[r.list].row_labels.size());
        ASSERT_LT(static_cast<std::size_t>(r.column), lists[r.list].value_headers.size());
        ++hits[r.list][static_cast<std::size_t>(r.row) * lists[r.list].value_headers.size() +
                       static_cast<std::size_t>(r.column)];
    }
    for (std::size_t l = 0; l < lists.size(); ++l) {
        for (std::size_t i = 0; i < hits[l].size(); ++i) {
            // The QDX-C 5V current has no word.
            const bool empty = lists[l].title == "風速 / 入水" || (l == kQdxcPower && i == 3);
            EXPECT_EQ(hits[l][i], empty ? 0 : 1) << lists[l].title << " cell " << i;
        }
    }
}

}  // namespace
}  // namespace vantu
