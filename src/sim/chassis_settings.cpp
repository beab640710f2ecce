#include "sim/chassis_settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "base/ini_file.h"

namespace vantu {
namespace {

constexpr int kLastModule = 160;

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& ch : upper) {
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    return upper;
}

// "M010" -> 10 within [0, limit].
std::optional<int> Tagged(std::string_view token, char tag, int limit) {
    if (token.size() < 2 || token[0] != tag) {
        return std::nullopt;
    }
    int value = 0;
    auto [end, error] = std::from_chars(token.data() + 1, token.data() + token.size(), value);
    if (error != std::errc() || end != token.data() + token.size() || value < 0 || value > limit) {
        return std::nullopt;
    }
    return value;
}

std::optional<SimFault> KindOf(std::string_view name, bool element) {
    struct Name {
        std::string_view text;
        SimFault kind;
        bool element;
    };
    static constexpr Name kNames[] = {
        {"TX", SimFault::kTx, true},           {"RX", SimFault::kRx, true},
        {"P32V", SimFault::kSupply32V, true},  {"P9V5", SimFault::kSupply9V5, true},
        {"P5V", SimFault::kSupply5V, true},    {"N6V", SimFault::kSupplyNeg6V, true},
        {"HOT", SimFault::kHot, true},         {"STS", SimFault::kSummary, true},
        {"QDXA", SimFault::kQdxaFault, false}, {"QHOT", SimFault::kQdxaHot, false},
        {"SP", SimFault::kQdxaSp, false},      {"VOLT", SimFault::kQdxaVoltage, false},
        {"DID", SimFault::kDigitalId, false},
    };
    for (const Name& entry : kNames) {
        if (entry.text == name && entry.element == element) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

std::optional<StuckFault> ParseStuckFault(std::string_view entry) {
    std::vector<std::string_view> tokens;
    while (!entry.empty()) {
        const std::size_t dash = entry.find('-');
        tokens.push_back(entry.substr(0, dash));
        entry = dash == std::string_view::npos ? std::string_view() : entry.substr(dash + 1);
    }
    StuckFault fault;
    if (tokens.size() == 2) {
        auto word = Tagged(tokens[0], 'W', 255);
        auto bit = Tagged(tokens[1], 'B', 31);
        if (!word || !bit || !(*word == 4 || *word == 5 || (*word >= 20 && *word <= 27))) {
            return std::nullopt;
        }
        fault.kind = SimFault::kStatusBit;
        fault.word = *word;
        fault.bit = *bit;
        return fault;
    }
    const bool element = tokens.size() == 4;
    if (!element && tokens.size() != 3) {
        return std::nullopt;
    }
    auto module = Tagged(tokens[0], 'M', kLastModule);
    auto e = element ? Tagged(tokens[1], 'E', 3) : std::optional<int>(0);
    auto q = Tagged(tokens[element ? 2 : 1], 'Q', 7);
    auto kind = KindOf(tokens.back(), element);
    if (!module || !e || !q || !kind) {
        return std::nullopt;
    }
    fault.kind = *kind;
    fault.module = *module;
    fault.element = *e;
    fault.q = *q;
    return fault;
}

std::vector<std::string_view> ListItems(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = text.find_first_of(",; \t", i);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        if (stop > i) {
            items.push_back(text.substr(i, stop - i));
        }
        i = stop + 1;
    }
    return items;
}

// A number of the [SIMULATION] section inside [low, high]; nullopt when missing or bad.
template <typename T>
std::optional<T> Number(const IniFile& ini, std::string_view key, T low, T high) {
    const auto text = ini.Get("SIMULATION", key);
    T value{};
    if (!text) {
        return std::nullopt;
    }
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    // Written so that NaN, which compares false with everything, is out of range too.
    if (error != std::errc() || !(value >= low && value <= high)) {
        return std::nullopt;
    }
    return value;
}

void LoadTimings(const IniFile& ini, ChassisSettings& settings) {
    constexpr std::int64_t kMaxUs = 60'000'000;
    settings.word_time_us =
        Number(ini, "WORD_TIME_US", 0.0, double{kMaxUs}).value_or(settings.word_time_us);
    settings.spi_clock_hz =
        Number<std::int64_t>(ini, "SPI_CLOCK_HZ", 0, 1'000'000'000).value_or(settings.spi_clock_hz);
    settings.erase_busy_us =
        Number<std::int64_t>(ini, "ERASE_US", 0, kMaxUs).value_or(settings.erase_busy_us);
    settings.program_busy_us =
        Number<std::int64_t>(ini, "PROGRAM_US", 0, kMaxUs).value_or(settings.program_busy_us);
}

void LoadScenario(const IniFile& ini, const std::string& station_dir, ChassisSettings& settings) {
    for (const std::string& key : ini.Keys("SCENARIO")) {
        if (auto event = ParseScenarioEvent(ini.Get("SCENARIO", key).value_or(""))) {
            settings.scenario.push_back(*event);
        }
    }
    if (auto replay = ini.Get("SIMULATION", "REPLAY"); replay && !replay->empty()) {
        settings.replay_path = replay->front() == '/' ? *replay : station_dir + "/" + *replay;
    }
    settings.replay_interval_s =
        Number(ini, "REPLAY_INTERVAL", 1, 3600).value_or(settings.replay_interval_s);
}

}  // namespace

SimulatedCardConfig CardConfigOf(const ChassisSettings& settings, Clock* clock) {
    return {.word_time_ns = static_cast<std::int64_t>(settings.word_time_us * 1000.0 + 0.5),
            .spi_clock_hz = settings.spi_clock_hz,
            .erase_busy_us = settings.erase_busy_us,
            .program_busy_us = settings.program_busy_us,
            .clock = clock};
}

std::vector<StuckFault> ParseStuckFaults(std::string_view text) {
    const std::string upper = Upper(text);
    std::vector<StuckFault> faults;
    for (std::string_view item : ListItems(upper)) {
        if (auto fault = ParseStuckFault(item)) {
            faults.push_back(*fault);
        }
    }
    return faults;
}

ChassisSettings LoadChassisSettings(const std::string& station_dir) {
    const IniFile ini = IniFile::Load(station_dir + "/" + std::string(kSimulationIni));
    ChassisSettings settings;
    if (auto seed = ini.Get("SIMULATION", "SEED")) {
        std::uint64_t value = 0;
        auto [end, error] = std::from_chars(seed->data(), seed->data() + seed->size(), value);
        if (error == std::errc()) {
            settings.seed = value;
        }
    }
    if (auto rate = ini.Get("SIMULATION", "FAULT_RATE")) {
        double value = 0;
        auto [end, error] = std::from_chars(rate->data(), rate->data() + rate->size(), value);
        if (error == std::errc() && std::isfinite(value)) {
            settings.fault_rate = std::clamp(value, 0.0, 1.0);
        }
    }
    if (auto stuck = ini.Get("SIMULATION", "STUCK_FAULTS")) {
        settings.stuck_faults = ParseStuckFaults(*stuck);
    }
    if (auto absent = ini.Get("SIMULATION", "ABSENT_MODULES")) {
        for (std::string_view item : ListItems(*absent)) {
            int module = -1;
            auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), module);
            if (error == std::errc() && module >= 0 && module <= kLastModule) {
                settings.absent_modules.push_back(module);
            }
        }
    }
    LoadTimings(ini, settings);
    LoadScenario(ini, station_dir, settings);
    return settings;
}

}  // namespace vantu
