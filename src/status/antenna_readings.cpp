#include "status/antenna_readings.h"

#include <cstdio>

namespace vantu {
namespace {

// Comparisons allow for the scale's rounding: 1800 x 0.001 is on the 1.8 limit.
constexpr double kLimitSlack = 1e-9;

constexpr std::string_view kVolts = "電壓 (V)";
constexpr std::string_view kAmps = "電流 (A)";
constexpr std::string_view kCelsius = "溫度 (°C)";
constexpr std::string_view kInputPower = "輸入功率";

std::vector<std::string> Numbered(int count) {
    std::vector<std::string> labels;
    for (int i = 1; i <= count; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "%.2d", i);
        labels.emplace_back(text);
    }
    return labels;
}

// List indices in AntennaLists order.
enum ListIndex : std::size_t {
    k300V,
    kCratePower,
    kQdxcPower,
    kExciterPower,
    kQdxb12V,
    kQdxb5V,
    kExciterClimate,
    kExciterTemps,
    kSaQtrmClimate,
    kCrateTemps,
    kQdxcTemp,
    kFlow,
    kQdxbTemps,
    kExciterDigital,
    kRfSwitch,
    kQdxbLinks,
    kExciterRf,
    kRfSwPower,
    kSaQtrmPower,
};

std::vector<AntennaList> BuildLists() {
    using G = AntennaGroup;
    return {
        {G::kPower, "300V", "位置", {kVolts, kAmps}, {"左側", "右側"}},
        {G::kPower, "QDX-Crate", "電源", {kVolts}, {"12V", " 5V"}},
        {G::kPower, "QDX-C", "電源", {kVolts, kAmps}, {"12V", "5V"}},
        {G::kPower, "Exciter", "電源", {kVolts}, {"TRM", "QDXA"}},
        {G::kPower, "QDX-B  12V", "編號", {kVolts, kAmps}, Numbered(14)},
        {G::kPower, "QDX-B  5V", "編號", {kVolts}, Numbered(14)},
        {G::kEnvironment, "Exciter 溫溼度", "位置", {kCelsius, "濕度 (%) "}, {"內部"}},
        {G::kEnvironment, "Exciter TRM / QDX- A", "位置", {kCelsius}, {"TRM2", "TRM3", "QDXA"}},
        {G::kEnvironment, "SA QTRM 溫溼度", "", {kCelsius, "濕度 (%)"}, Numbered(12)},
        {G::kEnvironment, "QDX-Crate", "位置", {kCelsius}, {"上側", "下側"}},
        {G::kEnvironment, "QDX-C", "", {kCelsius}, {"01"}},
        {G::kEnvironment, "風速 / 入水", "", {"流量", kCelsius}, {"入水", "風速"}},
        {G::kEnvironment, "QDX-B", "", {kCelsius}, Numbered(14)},
        {G::kDigital, "Exciter", "", {}, {}, true},
        {G::kDigital, "RF Switch", "", {"寬度(ns)", "週期(ns)"}, Numbered(7)},
        {G::kDigital, "QDX-B", "", {"狀態", "連接"}, Numbered(14)},
        {G::kRf, "Exciter (dBm)", "", {kInputPower}, {"01"}},
        {G::kRf, "RF-SW  (dBm)", "", {kInputPower, "輸出功率"}, Numbered(7)},
        {G::kRf, "SA QTRM  (dBm)", "", {kInputPower}, Numbered(12)},
    };
}

struct Limits {
    std::optional<double> low;
    std::optional<double> high;
};

constexpr Limits kNone{};
constexpr Limits k300VRange{285, 315};
constexpr Limits k12VRange{11.4, 12.6};
constexpr Limits k5VRange{4.75, 5.25};
constexpr Limits kCurrentLimit{std::nullopt, 1.8};
constexpr Limits kHot55{std::nullopt, 55};
constexpr Limits kHot50{std::nullopt, 50};
constexpr Limits kRfRange{-2.5, 3.5};

constexpr std::uint32_t kHalf = 0xFFFF;
constexpr std::uint32_t kByte = 0xFF;

class ReadingTable {
  public:
    void Add(std::size_t word, unsigned shift, std::uint32_t mask, double scale,
             ReadingFormat format, Limits limits, std::size_t list, int row, int column) {
        readings_.push_back(
            {word, shift, mask, scale, format, limits.low, limits.high, list, row, column});
    }
    // Two units per word, the low half first.
    void Halves(std::size_t first_word, std::size_t words, double scale, Limits limits,
                std::size_t list, int column) {
        for (std::size_t w = 0; w < words; ++w) {
            const int row = 2 * static_cast<int>(w);
            Add(first_word + w, 0, kHalf, scale, ReadingFormat::kFixed2, limits, list, row, column);
            Add(first_word + w, 16, kHalf, scale, ReadingFormat::kFixed2, limits, list, row + 1,
                column);
        }
    }
    // Four units per word, byte 0 first.
    void Bytes(std::size_t first_word, std::size_t words, double scale, ReadingFormat format,
               Limits limits, std::size_t list, int column) {
        for (std::size_t w = 0; w < words; ++w) {
            for (unsigned b = 0; b < 4; ++b) {
                Add(first_word + w, 8 * b, kByte, scale, format, limits, list,
                    static_cast<int>(4 * w + b), column);
            }
        }
    }
    // One row per word.
    void Words(std::size_t first_word, std::size_t words, double scale, Limits limits,
               std::size_t list, int column) {
        for (std::size_t w = 0; w < words; ++w) {
            Add(first_word + w, 0, 0xFFFFFFFFu, scale, ReadingFormat::kFixed2, limits, list,
                static_cast<int>(w), column);
        }
    }
    std::vector<Reading> readings_;
};

std::vector<Reading> BuildReadings() {
    using F = ReadingFormat;
    ReadingTable t;
    // Power.
    t.Add(32, 16, kHalf, 0.00877, F::kFixed2, k300VRange, k300V, 0, 0);
    t.Add(32, 0, kHalf, 0.00877, F::kFixed2, k300VRange, k300V, 1, 0);
    t.Add(33, 16, kHalf, 0.00082, F::kFixed2, kNone, k300V, 0, 1);
    t.Add(33, 0, kHalf, 0.00082, F::kFixed2, kNone, k300V, 1, 1);
    t.Add(34, 16, kHalf, 0.001, F::kFixed2, k12VRange, kCratePower, 0, 0);
    t.Add(35, 16, kHalf, 0.001, F::kFixed2, k5VRange, kCratePower, 1, 0);
    t.Add(36, 16, kHalf, 0.001, F::kFixed2, k12VRange, kQdxcPower, 0, 0);
    t.Add(36, 0, kHalf, 0.001, F::kFixed2, kCurrentLimit, kQdxcPower, 0, 1);
    t.Add(37, 16, kHalf, 0.001, F::kFixed2, k5VRange, kQdxcPower, 1, 0);
    t.Add(37, 0, kByte, 0.001, F::kFixed2, kNone, kExciterPower, 0, 0);
    t.Add(37, 8, 0xF, 0.001, F::kFixed2, kNone, kExciterPower, 1, 0);
    t.Halves(38, 7, 0.001, k12VRange, kQdxb12V, 0);
    t.Halves(45, 7, 0.001, k5VRange, kQdxb5V, 0);
    t.Halves(52, 7, 0.001, kCurrentLimit, kQdxb12V, 1);
    // Environment.
    t.Bytes(60, 3, 0.5, F::kFixed2, kNone, kSaQtrmClimate, 0);
    t.Bytes(63, 3, 1, F::kInteger, kNone, kSaQtrmClimate, 1);
    t.Add(66, 0, kByte, 1, F::kInteger, kHot55, kExciterTemps, 0, 0);
    t.Add(66, 8, kByte, 1, F::kInteger, kHot55, kExciterTemps, 1, 0);
    t.Add(66, 16, kByte, 1, F::kInteger, kNone, kExciterClimate, 0, 1);
    t.Add(66, 24, kByte, 1, F::kInteger, kHot55, kExciterClimate, 0, 0);
    t.Add(67, 0, kByte, 1, F::kInteger, kHot55, kExciterTemps, 2, 0);
    t.Add(69, 16, kHalf, 0.1, F::kFixed2, kHot50, kQdxcTemp, 0, 0);
    t.Add(70, 0, kHalf, 0.1, F::kFixed2, kHot50, kCrateTemps, 0, 0);
    t.Add(70, 16, kHalf, 0.1, F::kFixed2, kHot50, kCrateTemps, 1, 0);
    t.Halves(71, 7, 0.1, kHot50, kQdxbTemps, 0);
    // Digital.
    t.Words(81, 7, 12.5, kNone, kRfSwitch, 0);
    t.Words(88, 7, 12.5, kNone, kRfSwitch, 1);
    for (int row = 0; row < 14; ++row) {
        const auto r = static_cast<unsigned>(row);
        t.Add(95, 29 - r, 1, 1, F::kBit, kNone, kQdxbLinks, row, 0);
        t.Add(95, 13 - r, 1, 1, F::kBit, kNone, kQdxbLinks, row, 1);
    }
    // RF.
    t.Words(160, 7, 0.01, kRfRange, kRfSwPower, 0);
    t.Words(167, 7, 0.01, kRfRange, kRfSwPower, 1);
    t.Add(174, 0, kByte, 0.25, F::kFixed2, kRfRange, kExciterRf, 0, 0);
    t.Bytes(175, 3, 0.25, F::kFixed2, kRfRange, kSaQtrmPower, 0);
    return std::move(t.readings_);
}

}  // namespace

std::span<const AntennaList> AntennaLists() {
    static const std::vector<AntennaList> lists = BuildLists();
    return lists;
}

std::span<const Reading> AntennaReadings() {
    static const std::vector<Reading> readings = BuildReadings();
    return readings;
}

ReadingValue EvaluateReading(const Reading& reading, std::uint32_t word) {
    const std::uint32_t field = (word >> reading.shift) & reading.mask;
    const double value = field * reading.scale;
    char text[32];
    switch (reading.format) {
        case ReadingFormat::kFixed2:
            std::snprintf(text, sizeof text, "%.2f", value);
            break;
        case ReadingFormat::kInteger:
            std::snprintf(text, sizeof text, "%d", static_cast<int>(field));
            break;
        case ReadingFormat::kBit:
            std::snprintf(text, sizeof text, "%x", field);
            break;
    }
    const bool low = reading.low && value < *reading.low - kLimitSlack;
    const bool high = reading.high && value > *reading.high + kLimitSlack;
    return {text, reading.low || reading.high, low || high};
}

}  // namespace vantu
