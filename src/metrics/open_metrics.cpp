#include "metrics/open_metrics.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>

#include "base/software_version.h"

namespace vantu {
namespace {

// As %.9g writes it. Whole numbers under 1e9, the bulk of a scrape, go without printf:
// %.9g gives them in plain digits too (minus zero, "-0", does not take this way).
std::string Number(double value) {
    char text[32];
    const double whole = std::trunc(value);
    if (whole == value && std::abs(value) < 1e9 && !(value == 0 && std::signbit(value))) {
        return std::string(
            text, std::to_chars(text, std::end(text), static_cast<std::int64_t>(value)).ptr);
    }
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// The suffix an OpenMetrics sample adds to its family's name.
std::string_view SampleSuffix(std::string_view type) {
    return type == "counter" ? "_total" : type == "info" ? "_info" : "";
}

// Families are declared by the name of their samples. The text format 0.0.4 names a
// family like its sample and knows no info type; OpenMetrics names it without the
// sample's suffix and ends with # EOF.
class Exposition {
  public:
    explicit Exposition(MetricsFormat format) : format_(format) {}

    void Family(std::string_view sample, std::string_view type, std::string_view help) {
        if (format_ == MetricsFormat::kText) {
            const std::string_view text_type = type == "info" ? "gauge" : type;
            text_.append("# HELP ").append(sample).append(" ").append(help).append("\n");
            text_.append("# TYPE ").append(sample).append(" ").append(text_type).append("\n");
            return;
        }
        const std::string_view name = sample.substr(0, sample.size() - SampleSuffix(type).size());
        text_.append("# TYPE ").append(name).append(" ").append(type).append("\n");
        text_.append("# HELP ").append(name).append(" ").append(help).append("\n");
    }
    // labels is the inside of the braces, empty for none.
    void Sample(std::string_view name, std::string_view labels, double value) {
        text_.append(name);
        if (!labels.empty()) {
            text_.append("{").append(labels).append("}");
        }
        text_.append(" ").append(Number(value)).append("\n");
    }
    std::string Finish() {
        if (format_ == MetricsFormat::kOpenMetrics) {
            text_.append("# EOF\n");
        }
        return std::move(text_);
    }

  private:
    MetricsFormat format_;
    std::string text_;
};

void StateFamilies(Exposition& out, const StationSnapshot& snapshot) {
    out.Family("vantu_card_present", "gauge", "1 when the control card opened at start-up.");
    out.Sample("vantu_card_present", "", snapshot.card_present);
    out.Family("vantu_remote_server_open", "gauge", "1 while the remote command server listens.");
    out.Sample("vantu_remote_server_open", "", snapshot.server_open);
    out.Family("vantu_running", "gauge", "1 while the main page's run state is on.");
    out.Sample("vantu_running", "", snapshot.running);
    out.Family("vantu_report_stale", "gauge",
               "1 while the last report cycle could not be read; no report values then.");
    out.Sample("vantu_report_stale", "", snapshot.report_stale);
    out.Family("vantu_sequencer_busy", "gauge", "1 while the card's sequencer runs control code.");
    if (!snapshot.report_stale) {
        out.Sample("vantu_sequencer_busy", "", snapshot.sequencer_busy);
    }
    out.Family("vantu_interface_normal", "gauge",
               "1 when the interface word reads normal (0x0000FFFF).");
    if (snapshot.antenna_words) {
        out.Sample("vantu_interface_normal", "interface=\"sp\"", snapshot.sp_interface_normal);
        out.Sample("vantu_interface_normal", "interface=\"internal\"",
                   snapshot.internal_interface_normal);
    }
    out.Family("vantu_health_normal", "gauge", "1 when the subsystem health group is normal.");
    if (!snapshot.antenna_words) {
        return;
    }
    const struct {
        const char* name;
        bool normal;
    } groups[] = {{"power", snapshot.health.power},
                  {"environment", snapshot.health.environment},
                  {"digital", snapshot.health.digital},
                  {"rf", snapshot.health.rf}};
    for (const auto& group : groups) {
        out.Sample("vantu_health_normal", std::string("group=\"") + group.name + "\"",
                   group.normal);
    }
}

void ModuleFamilies(Exposition& out, const StationSnapshot& snapshot) {
    out.Family("vantu_module_faults", "gauge", "Faults of the module as its summary view counts.");
    for (const ModuleSnapshot& module : snapshot.modules) {
        out.Sample("vantu_module_faults",
                   "module=\"" + std::to_string(module.number) + "\",column=\"" +
                       std::to_string(module.column) + "\",index=\"" +
                       std::to_string(module.index) + "\"",
                   module.faults);
    }
    out.Family("vantu_element_temperature_celsius", "gauge", "Temperature of a TRM element.");
    for (const ModuleSnapshot& module : snapshot.modules) {
        for (int q = 0; q < kQChannels; ++q) {
            for (int element = 0; element < kElements; ++element) {
                out.Sample("vantu_element_temperature_celsius",
                           "module=\"" + std::to_string(module.number) + "\",q=\"" +
                               std::to_string(q) + "\",element=\"" + std::to_string(element) + "\"",
                           module.temperatures[q][element]);
            }
        }
    }
}

void ServiceFamilies(Exposition& out, const StationSnapshot& snapshot) {
    out.Family("vantu_report_polls_total", "counter", "Report blocks read from the card.");
    out.Sample("vantu_report_polls_total", "", static_cast<double>(snapshot.poll.blocks_read));
    out.Family("vantu_report_poll_failures_total", "counter",
               "Report blocks the card did not give, and report cycles that read unreadable.");
    out.Sample("vantu_report_poll_failures_total", "", static_cast<double>(snapshot.poll.failures));
    out.Family("vantu_report_poll_age_seconds", "gauge",
               "Time since the last readable report cycle.");
    if (snapshot.poll_age_seconds) {
        out.Sample("vantu_report_poll_age_seconds", "", *snapshot.poll_age_seconds);
    }
    const char* histogram = "vantu_remote_command_duration_seconds";
    out.Family(histogram, "histogram", "Run time of the remote command lines served.");
    std::uint64_t cumulative = 0;
    for (std::size_t i = 0; i < LatencyHistogram::kBounds.size(); ++i) {
        cumulative += snapshot.remote.buckets[i];
        out.Sample("vantu_remote_command_duration_seconds_bucket",
                   "le=\"" + Number(LatencyHistogram::kBounds[i]) + "\"",
                   static_cast<double>(cumulative));
    }
    out.Sample("vantu_remote_command_duration_seconds_bucket", "le=\"+Inf\"",
               static_cast<double>(snapshot.remote.count));
    out.Sample("vantu_remote_command_duration_seconds_count", "",
               static_cast<double>(snapshot.remote.count));
    out.Sample("vantu_remote_command_duration_seconds_sum", "", snapshot.remote.sum_seconds);
}

void AlarmFamilies(Exposition& out, const AlarmFigures& alarms) {
    const struct {
        const char* name;
        const char* help;
        double value;
    } gauges[] = {
        {"vantu_alarms_recent", "New alarms raised in the last 10 minutes.",
         static_cast<double>(alarms.last_10_minutes)},
        {"vantu_alarms_shift_rate", "New alarms per 10 minutes since the first.",
         alarms.shift_per_10_minutes},
        {"vantu_alarm_flood", "1 while more than 10 new alarms came within 10 minutes.",
         alarms.flood ? 1.0 : 0.0},
        {"vantu_alarms_standing", "Fault sources in fault now.",
         static_cast<double>(alarms.standing)},
        {"vantu_alarms_chattering", "Sources whose last 3 changes lie within 60 s.",
         static_cast<double>(alarms.chattering)},
        {"vantu_alarms_shelved", "Sources shelved or out of service.",
         static_cast<double>(alarms.shelved)},
    };
    for (const auto& gauge : gauges) {
        out.Family(gauge.name, "gauge", gauge.help);
        out.Sample(gauge.name, "", gauge.value);
    }
    out.Family("vantu_alarms_unacknowledged", "gauge", "Alarms not yet acknowledged.");
    for (int p = 0; p < kAlarmPriorityCount; ++p) {
        const auto priority = static_cast<AlarmPriority>(p);
        out.Sample("vantu_alarms_unacknowledged",
                   "priority=\"" + std::string(PriorityToken(priority)) + "\"",
                   alarms.unacknowledged[static_cast<std::size_t>(p)]);
    }
}

const char* Bool(bool value) {
    return value ? "true" : "false";
}

}  // namespace

std::string RenderMetrics(const StationSnapshot& snapshot, MetricsFormat format) {
    Exposition out(format);
    out.Family("vantu_build_info", "info", "The station's software version.");
    out.Sample("vantu_build_info", "version=\"" + std::string(kVersionNumber) + "\"", 1);
    StateFamilies(out, snapshot);
    ModuleFamilies(out, snapshot);
    ServiceFamilies(out, snapshot);
    AlarmFamilies(out, snapshot.alarms);
    return out.Finish();
}

std::string RenderStatusJson(const StationSnapshot& snapshot) {
    std::string json = "{";
    json += std::string("\"card_present\":") + Bool(snapshot.card_present);
    json += std::string(",\"remote_server_open\":") + Bool(snapshot.server_open);
    json += std::string(",\"running\":") + Bool(snapshot.running);
    json += std::string(",\"report_stale\":") + Bool(snapshot.report_stale);
    json += std::string(",\"sequencer_busy\":") +
            (snapshot.report_stale ? "null" : Bool(snapshot.sequencer_busy));
    if (snapshot.antenna_words) {
        json += std::string(",\"interfaces\":{\"sp\":") + Bool(snapshot.sp_interface_normal) +
                ",\"internal\":" + Bool(snapshot.internal_interface_normal) + "}";
        json += std::string(",\"health\":{\"power\":") + Bool(snapshot.health.power) +
                ",\"environment\":" + Bool(snapshot.health.environment) +
                ",\"digital\":" + Bool(snapshot.health.digital) +
                ",\"rf\":" + Bool(snapshot.health.rf) + "}";
    } else {
        json += ",\"interfaces\":null,\"health\":null";
    }
    json += ",\"report_poll\":{\"blocks_read\":" + std::to_string(snapshot.poll.blocks_read) +
            ",\"failures\":" + std::to_string(snapshot.poll.failures) + ",\"age_seconds\":" +
            (snapshot.poll_age_seconds ? Number(*snapshot.poll_age_seconds) : "null") + "}";
    json += ",\"remote_commands\":{\"served\":" + std::to_string(snapshot.remote.count) +
            ",\"seconds\":" + Number(snapshot.remote.sum_seconds) + "}";
    json += ",\"modules\":[";
    for (std::size_t m = 0; m < snapshot.modules.size(); ++m) {
        const ModuleSnapshot& module = snapshot.modules[m];
        json += (m == 0 ? "{" : ",{");
        json += "\"module\":" + std::to_string(module.number) +
                ",\"column\":" + std::to_string(module.column) +
                ",\"index\":" + std::to_string(module.index) +
                ",\"faults\":" + std::to_string(module.faults) + ",\"temperatures\":[";
        for (int q = 0; q < kQChannels; ++q) {
            json += q == 0 ? "[" : ",[";
            for (int element = 0; element < kElements; ++element) {
                json += (element == 0 ? "" : ",") + std::to_string(module.temperatures[q][element]);
            }
            json += "]";
        }
        json += "]}";
    }
    return json + "]}\n";
}

}  // namespace vantu
