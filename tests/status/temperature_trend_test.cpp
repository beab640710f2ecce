#include "status/temperature_trend.h"

#include <gtest/gtest.h>

#include "report_builder.h"
#include "status/temperature.h"

namespace vantu {
namespace {

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
    const TrendSample& sample = trend.at(0);
    const TemperatureSpan span = SpanOf(sample, TrendKind::kTrm, 4);
    EXPECT_EQ(span.min, 8);
    EXPECT_EQ(span.max, 78);
    EXPECT_EQ(span.mean_tenths, 380);  // (8 + 13 + 53 + 78) / 4
    EXPECT_FALSE(SpanOf(sample, TrendKind::kTrm, 5).read());
    const TemperatureSpan antenna = SpanOf(sample, TrendKind::kTrm, -1);
    EXPECT_EQ(antenna.min, 8);
    EXPECT_EQ(antenna.max, 78);
    EXPECT_EQ(antenna.mean_tenths, 380) << "modules without readings do not pull the mean";
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
