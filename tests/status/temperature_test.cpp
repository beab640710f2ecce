#include "status/temperature.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/settings.h"
#include "report_builder.h"
#include "status/temperature_trend.h"

namespace vantu {
namespace {

// The table as setup.ini labels it, record i coloured i + 1 so results are traceable.
TempColourTable LabelledTable() {
    TempColourTable table;
    for (int i = 0; i < kTempColourCount; ++i) {
        table[static_cast<std::size_t>(i)] = {TempColourKey(i), static_cast<Colour>(i + 1)};
    }
    return table;
}

TEST(TemperatureTest, CodesGiveDegreesBandsAndBars) {
    struct Case {
        std::uint32_t code;
        int celsius;
        int band;
        int percent;
    };
    const Case cases[] = {
        {0, 0, 0, 0},    {1, 8, 0, 10},   {9, 48, 2, 60},    {10, 53, 2, 66},
        {11, 58, 1, 72}, {15, 78, 1, 97}, {0x1F, 78, 1, 97},  // only the low four bits count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const int t = TemperatureFromCode(c.code);
        EXPECT_EQ(std::tuple(t, TemperatureBand(t), TemperatureBarPercent(t)),
                  std::tuple(c.celsius, c.band, c.percent));
    }
    EXPECT_EQ(TemperatureBand(46), 2);
    EXPECT_EQ(TemperatureBand(56), 1);
}

TEST(TemperatureTest, ColourWalkMatchesStrictlyInsideBandsOnly) {
    const TempColourTable table = LabelledTable();
    struct Case {
        int celsius;
        int record;
    };
    const Case cases[] = {
        {75, 0},  {100, 0},  // ">74"
        {73, 1},  {71, 1},   // "70-74"
        {74, 16}, {70, 16},  // edges of "70-74" fall to "NULL"
        {4, 15},  {0, 15},   // "<5"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.celsius);
        EXPECT_EQ(TemperatureRecord(c.celsius, table), c.record);
        EXPECT_EQ(TemperatureColour(c.celsius, table), static_cast<Colour>(c.record + 1));
    }
}

TEST(TemperatureTest, WalkReadsTheLabelsAsTheyStand) {
    TempColourTable table = LabelledTable();
    table[1].label = " 70 - 74 ";  // blanks are dropped before the split
    EXPECT_EQ(TemperatureRecord(73, table), 1);
    table[1].label = "70";  // no upper bound: the band never matches
    EXPECT_EQ(TemperatureRecord(73, table), 16);
    TempColourTable empty{};  // setup.ini not read: every temperature is "NULL"
    empty[16].colour = 0x123456;
    EXPECT_EQ(TemperatureColour(78, empty), 0x123456u);
    EXPECT_EQ(TemperatureColour(0, empty), 0x123456u);
}

TEST(TemperatureTest, PaletteAgreesWithTheWalkForEveryCode) {
    const TempColourTable table = LabelledTable();
    const TemperaturePalette palette(table);
    for (std::uint32_t code = 0; code < 16; ++code) {
        const int t = TemperatureFromCode(code);
        EXPECT_EQ(palette.OfCode(code), TemperatureColour(t, table)) << code;
        EXPECT_EQ(palette.OfTemperature(t), TemperatureColour(t, table)) << code;
    }
    EXPECT_EQ(palette.null_colour(), 17u);
}

using testing::PutQField;

LocalTime At(int second) {
    return {2026, 12, 5, 19, 46, second};
}

TEST(TemperatureTrendTest, SpansSkipElementsWithoutAReading) {
    ReportMemory report;
    // Codes 1 (8 °C), 2 (13 °C), none, 10 (53 °C) on Q0; 15 (78 °C) on E0 of Q7.
    PutQField(report, QFieldArray::kTrmTemp, 4, 0, 0xA021);
    PutQField(report, QFieldArray::kTrmTemp, 4, 7, 0x000F);
    // QDX-A codes 11 (58 °C) and 2 (13 °C) of module 5, under flag bits.
    PutQField(report, QFieldArray::kQdxaSts, 5, 0, 0xAB);
    PutQField(report, QFieldArray::kQdxaSts, 5, 3, 0xF2);
    TemperatureTrend trend(4);
    trend.Add(report, At(0), 0);
    const TemperatureSpan all = SpanOf(trend.at(0), TrendKind::kTrm, -1);
    EXPECT_EQ(std::tuple(all.min, all.max, all.mean_tenths), std::tuple(8, 78, 380))
        << "modules without readings do not pull the mean";
    // (8 + 13 + 53 + 78) / 4
    EXPECT_EQ(TrendCsv(trend, TrendKind::kTrm, 4),
              "time,min,mean,max\n2026-12-05 19:46:00,8,38.0,78\n");
    EXPECT_EQ(TrendCsv(trend, TrendKind::kTrm, 5), "time,min,mean,max\n2026-12-05 19:46:00,,,\n");
    EXPECT_EQ(TrendCsv(trend, TrendKind::kQdxa, -1),
              "time,min,mean,max\n2026-12-05 19:46:00,13,35.5,58\n");
}

TEST(TemperatureTrendTest, TheRingKeepsEightHoursAndDropsTheOldest) {
    const TemperatureTrend full;
    EXPECT_GE(full.capacity() * kReportBlockCount * kReportPollPeriodMs, 8u * 3600 * 1000);
    EXPECT_LT((full.capacity() - 1) * kReportBlockCount * kReportPollPeriodMs, 8u * 3600 * 1000);

    ReportMemory report;
    TemperatureTrend trend(3);
    for (int second = 0; second < 5; ++second) {
        PutQField(report, QFieldArray::kTrmTemp, 0, 0, static_cast<std::uint32_t>(second + 1));
        trend.Add(report, At(second), second);
    }
    ASSERT_EQ(trend.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(trend.at(i).time.second, static_cast<int>(i) + 2);
        EXPECT_EQ(SpanOf(trend.at(i), TrendKind::kTrm, 0).max,
                  TemperatureFromCode(static_cast<std::uint32_t>(i) + 3));
    }
}

}  // namespace
}  // namespace vantu
