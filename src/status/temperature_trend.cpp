#include "status/temperature_trend.h"

#include <algorithm>
#include <cstdio>

#include "status/antenna_layout.h"
#include "status/report_fields.h"
#include "status/temperature.h"

namespace vantu {
namespace {

TemperatureSpan ModuleSpan(const ReportMemory& report, int module) {
    const ModulePlace place = PlaceOfModule(module);
    int min = 255;
    int max = 0;
    int sum = 0;
    int count = 0;
    for (int q = 0; q < kQChannels; ++q) {
        const std::uint32_t field =
            ReadQField(report, QFieldArray::kTrmTemp, place.column, place.index, q);
        for (int e = 0; e < kElements; ++e) {
            const std::uint32_t code = (field >> (4 * e)) & 0xF;
            if (code == 0) {
                continue;
            }
            const int t = TemperatureFromCode(code);
            min = std::min(min, t);
            max = std::max(max, t);
            sum += t;
            ++count;
        }
    }
    if (count == 0) {
        return {};
    }
    return {static_cast<std::uint8_t>(min), static_cast<std::uint8_t>(max),
            static_cast<std::uint16_t>((sum * 10 + count / 2) / count)};
}

}  // namespace

TemperatureSpan AntennaSpan(const TrendSample& sample) {
    int min = 255;
    int max = 0;
    int sum = 0;
    int count = 0;
    for (const TemperatureSpan& span : sample.modules) {
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

TemperatureSpan SpanOf(const TrendSample& sample, int module) {
    if (module < 0 || module >= kModuleCount) {
        return AntennaSpan(sample);
    }
    return sample.modules[static_cast<std::size_t>(module)];
}

TemperatureTrend::TemperatureTrend(std::size_t capacity)
    : samples_(std::max<std::size_t>(capacity, 1)) {}

void TemperatureTrend::Add(const ReportMemory& report, const LocalTime& time, std::int64_t micros) {
    TrendSample& sample = samples_[next_];
    sample.time = time;
    sample.micros = micros;
    for (int module = 0; module < kModuleCount; ++module) {
        sample.modules[static_cast<std::size_t>(module)] = ModuleSpan(report, module);
    }
    next_ = (next_ + 1) % samples_.size();
    size_ = std::min(size_ + 1, samples_.size());
}

const TrendSample& TemperatureTrend::at(std::size_t i) const {
    const std::size_t oldest = (next_ + samples_.size() - size_) % samples_.size();
    return samples_[(oldest + i) % samples_.size()];
}

std::string TrendCsv(const TemperatureTrend& trend, int module) {
    std::string csv = "time,min,mean,max\n";
    for (std::size_t i = 0; i < trend.size(); ++i) {
        const TrendSample& sample = trend.at(i);
        const LocalTime& t = sample.time;
        const TemperatureSpan span = SpanOf(sample, module);
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
