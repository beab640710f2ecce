#include "sim/scenario.h"

#include <cctype>
#include <charconv>
#include <string>

#include "sim/chassis_settings.h"

namespace vantu {
namespace {

std::optional<std::int64_t> Seconds(std::string_view text) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<ScenarioEvent> ParseScenarioEvent(std::string_view text) {
    std::string upper;
    for (char ch : text) {
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
    }
    const std::size_t first = upper.find_first_not_of(" \t");
    const std::size_t blank = upper.find_first_of(" \t", first);
    const std::size_t what = upper.find_first_not_of(" \t", blank);
    if (first == std::string::npos || what == std::string::npos) {
        return std::nullopt;
    }
    const std::string_view timing = std::string_view(upper).substr(first, blank - first);
    const std::string_view name = std::string_view(upper).substr(what);
    ScenarioEvent event;
    const std::size_t slash = timing.find('/');
    if (slash != std::string_view::npos) {
        const auto period = Seconds(timing.substr(slash + 1));
        if (!period || *period < 2) {
            return std::nullopt;
        }
        event.period = *period;
    }
    const std::string_view when = timing.substr(0, slash);
    const std::size_t dash = when.find('-');
    const auto from = Seconds(when.substr(0, dash));
    if (!from) {
        return std::nullopt;
    }
    event.from_step = *from;
    if (dash != std::string_view::npos) {
        event.until_step = Seconds(when.substr(dash + 1));
        if (!event.until_step || *event.until_step <= *from) {
            return std::nullopt;
        }
    }
    if (name == "CARD-SILENT") {
        event.card = CardFault::kSilent;
    } else if (name == "SEQ-BUSY") {
        event.card = CardFault::kSequencerBusy;
    } else if (name == "FLASH-BUSY") {
        event.card = CardFault::kFlashBusy;
    } else {
        const std::vector<StuckFault> faults = ParseStuckFaults(name);
        if (faults.size() != 1) {
            return std::nullopt;
        }
        event.fault = faults.front();
    }
    return event;
}

}  // namespace vantu
