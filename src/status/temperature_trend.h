// The TRM and QDX-A temperatures of the last 8 hours, one sample per full report: each
// module's minimum, mean and maximum over its element (or QDX-A) readings, in a ring
// allocated once at its full size that overwrites the oldest sample. The antenna-wide
// values follow from the modules'.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ports.h"
#include "base/shared_settings.h"
#include "controller/controller_timers.h"
#include "status/report_memory.h"
#include "status/temperature.h"

namespace vantu {

// 8 hours of full reports, 14 polls of 200 ms each.
inline constexpr std::size_t kTrendCapacity =
    (8 * 3600 * 1000 + kReportBlockCount * kReportPollPeriodMs - 1) /
    (kReportBlockCount * kReportPollPeriodMs);

struct TemperatureSpan {
    // No reading: every element of the module reported code 0.
    static constexpr std::uint16_t kNone = 0xFFFF;
    std::uint8_t min = 0;
    std::uint8_t max = 0;
    std::uint16_t mean_tenths = kNone;

    bool read() const { return mean_tenths != kNone; }
};

// The temperatures a trend follows: the TRM elements' or the QDX-A units'.
enum class TrendKind { kTrm, kQdxa };

// The limit line of a trend: the temperature the pages count as a fault beyond.
constexpr int TrendLimit(TrendKind kind) {
    return kind == TrendKind::kTrm ? kTrmTemperatureLimit : kQdxaTemperatureFault;
}

struct TrendSample {
    using Spans = std::array<TemperatureSpan, kModuleCount>;
    LocalTime time;
    std::int64_t micros = 0;
    Spans trm{};
    Spans qdxa{};

    const Spans& modules(TrendKind kind) const { return kind == TrendKind::kTrm ? trm : qdxa; }
};

// The antenna's span of one sample: equal weight for every module that read.
TemperatureSpan AntennaSpan(const TrendSample& sample, TrendKind kind);

class TemperatureTrend {
  public:
    explicit TemperatureTrend(std::size_t capacity = kTrendCapacity);

    void Add(const ReportMemory& report, const LocalTime& time, std::int64_t micros);

    std::size_t size() const { return size_; }
    std::size_t capacity() const { return samples_.size(); }
    // 0 is the oldest sample kept.
    const TrendSample& at(std::size_t i) const;

  private:
    std::vector<TrendSample> samples_;
    std::size_t next_ = 0;
    std::size_t size_ = 0;
};

// One module's span at a sample, or the antenna's for module -1.
TemperatureSpan SpanOf(const TrendSample& sample, TrendKind kind, int module);

// "time,min,mean,max" and one line per sample, oldest first; samples without a reading
// leave the three values empty.
std::string TrendCsv(const TemperatureTrend& trend, TrendKind kind, int module);

}  // namespace vantu
