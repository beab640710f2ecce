#include "status/temperature_trend.h"

#include <algorithm>
#include <cstdio>

#include "status/antenna_layout.h"
#include "status/report_fields.h"
#include "status/temperature.h"

namespace vantu {
namespace {

// Minimum, maximum and mean of temperature codes; code 0 is no reading.
class SpanSum {
  public:
    void Add(std::uint32_t code) {
        if (code == 0) {
            return;
        }
        const int t = TemperatureFromCode(code);
        min_ = std::min(min_, t);
        max_ = std::max(max_, t);
        sum_ += t;
        ++count_;
    }
    TemperatureSpan Span() const {
        if (count_ == 0) {
            return {};
        }
        return {static_cast<std::uint8_t>(min_), static_cast<std::uint8_t>(max_),
                static_cast<std::uint16_t>((sum_ * 10 + count_ / 2) / count_)};
    }

  private:
    int min_ = 255;
    int max_ = 0;
    int sum_ = 0;
    int count_ = 0;
};

TemperatureSpan TrmSpan(const ReportMemory& report, const ModulePlace& place) {
    SpanSum sum;
    for (int q = 0; q < kQChannels; ++q) {
        const std::uint32_t field =
            ReadQField(report, QFieldArray::kTrmTemp, place.column, place.index, q);
        for (int e = 0; e < kElements; ++e) {
            sum.Add((field >> (4 * e)) & 0xF);
        }
    }
    return sum.Span();
}

TemperatureSpan QdxaSpan(const ReportMemory& report, const ModulePlace& place) {
    SpanSum sum;
    for (int q = 0; q < kQChannels; ++q) {
        sum.Add(ReadQField(report, QFieldArray::kQdxaSts, place.column, place.index, q) & 0xF);
    }
    return sum.Span();
}

}  // namespace

TemperatureSpan AntennaSpan(const TrendSample& sample, TrendKind kind) {
    int min = 255;
    int max = 0;
    int sum = 0;
    int count = 0;
    for (const TemperatureSpan& span : sample.modules(kind)) {
        if (span.read()) {
            min = std::min<int>(min, span.min);
            max = std::max<int>(max, span.max);
            sum += span.mean_tenths;
            ++count;
        }
    }
    if (count == 0) {
        return {};
    }
    return {static_cast<std::uint8_t>(min), static_cast<std::uint8_t>(max),
            static_cast<std::uint16_t>((sum + count / 2) / count)};
}

TemperatureSpan SpanOf(const TrendSample& sample, TrendKind kind, int module) {
    if (module < 0 || module >= kModuleCount) {
        return AntennaSpan(sample, kind);
    }
    return sample.modules(kind)[static_cast<std::size_t>(module)];
}

TemperatureTrend::TemperatureTrend(std::size_t capacity)
    : samples_(std::max<std::size_t>(capacity, 1)) {}

void TemperatureTrend::Add(const ReportMemory& report, const LocalTime& time, std::int64_t micros) {
    TrendSample& sample = samples_[next_];
    sample.time = time;
    sample.micros = micros;
    for (int module = 0; module < kModuleCount; ++module) {
        const ModulePlace place = PlaceOfModule(module);
        const auto m = static_cast<std::size_t>(module);
        sample.trm[m] = TrmSpan(report, place);
        sample.qdxa[m] = QdxaSpan(report, place);
    }
    next_ = (next_ + 1) % samples_.size();
    size_ = std::min(size_ + 1, samples_.size());
}

const TrendSample& TemperatureTrend::at(std::size_t i) const {
    const std::size_t oldest = (next_ + samples_.size() - size_) % samples_.size();
    return samples_[(oldest + i) % samples_.size()];
}

std::string TrendCsv(const TemperatureTrend& trend, TrendKind kind, int module) {
    std::string csv = "time,min,mean,max\n";
    for (std::size_t i = 0; i < trend.size(); ++i) {
        const TrendSample& sample = trend.at(i);
        const LocalTime& t = sample.time;
        const TemperatureSpan span = SpanOf(sample, kind, module);
        char line[96];
        if (span.read()) {
            std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d:%02d,%d,%d.%d,%d\n", t.year,
                          t.month, t.day, t.hour, t.minute, t.second, span.min,
                          span.mean_tenths / 10, span.mean_tenths % 10, span.max);
        } else {
            std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d:%02d,,,\n", t.year, t.month,
                          t.day, t.hour, t.minute, t.second);
        }
        csv += line;
    }
    return csv;
}

}  // namespace vantu
