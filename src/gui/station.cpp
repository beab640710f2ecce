#include "gui/station.h"

#include <cstdio>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "base/ini_file.h"
#include "base/settings.h"
#include "card/card_open.h"
#include "card/card_ops.h"
#include "card/device_library.h"
#include "card/sysfs_pci_driver.h"
#include "instruments/process_launch.h"
#include "remote/remote_access.h"

#include <iostream>

namespace vantu {
namespace {

constexpr const char* kSysfsRoot = "/sys";
constexpr int kLaunchWaitMs = 5000;

}  // namespace

Station::Station(const CommandLine& options, const std::string& station_dir, SharedSettings& shared,
                 MainWindow& window, Prompts& prompts)
    : timers_([this](int id) { controller_.HandleTimerTick(id); }),
      transport_(static_cast<std::uint16_t>(options.port)),
      controller_(ControllerPorts{prompts, timers_, clock_, poster_, window, transport_},
                  station_dir, shared, [](CardHandle& card) { return OpenCard(card); }),
      page_timers_([this](int id) {
          if (instrument_page_) {
              instrument_page_->HandleTimer(id);
          }
          if (on_instrument_tick_) {
              on_instrument_tick_();
          }
      }),
      station_dir_(station_dir) {
    InstallCardDriver(options, station_dir);
    transport_.set_events(&controller_.remote().transport_events());
    AddInstrumentPage(options, station_dir);
}

void Station::AddInstrumentPage(const CommandLine& options, const std::string& station_dir) {
    instruments_ = MakeInstrumentBackends(station_dir, options.simulate, clock_, std::cerr);
    QtProfile profile;
    instrument_page_ = std::make_unique<AnalyzerPageLifecycle>(AnalyzerPageLifecycleContext{
        .generator = *instruments_.generator,
        .link = *instruments_.analyzer,
        .windows = nullptr,
        .tcp_messages = controller_.analyzer_page().tcp_messages,
        .logs = controller_.log(),
        .shared = controller_.shared(),
        .main_page = controller_.main_page(),
        .server = controller_.remote().server(),
        .timers = page_timers_,
        .poster = poster_,
        .clock = clock_,
        .prompts = controller_.prompts(),
        .console = std::cout,
        .station_dir = station_dir,
        .program = profile.Read("Settings", "89600VSA_filePath", ""),
        .launch =
            [this, station_dir](const std::string& program) {
                return LaunchDetached(program, station_dir, kLaunchWaitMs, clock_);
            },
        .stop_control_code = [this] { controller_.chassis_controls().ClickStop(); },
        .recall_dir = instruments_.recall_dir});
    controller_.RegisterPage(*instrument_page_);
    controller_.remote().dispatcher().AddCommands(instrument_page_->commands());
}

Station::~Station() {
    InstallPciDriver(nullptr);
}

void Station::InstallCardDriver(const CommandLine& options, const std::string& station_dir) {
    if (!options.simulate) {
        driver_ = std::make_unique<SysfsPciDriver>(kSysfsRoot);
        InstallPciDriver(driver_.get());
        return;
    }
    const ChassisSettings settings = LoadChassisSettings(station_dir);
    auto simulated = std::make_unique<SimulatedPciDriver>(CardConfigOf(settings, &clock_));
    chassis_ = std::make_unique<ChassisModel>(simulated->card(), clock_, settings);
    chassis_->AttachToReads();
    if (!settings.replay_path.empty() && !chassis_->replaying()) {
        std::fprintf(stderr, "vantu: no report snapshots in %s\n", settings.replay_path.c_str());
    }
    InstallPciDriver(simulated.get());
    driver_ = std::move(simulated);
    StartSimulatedFirmware(settings);
}

void Station::StartSimulatedFirmware(const ChassisSettings& settings) {
    try {
        firmware_ = std::make_unique<SimulatedFirmware>(settings.absent_modules);
        controller_.firmware().set_simulated_device(firmware_->slave_path());
    } catch (const std::system_error& error) {
        std::fprintf(stderr, "vantu: no simulated firmware: %s\n", error.what());
    }
}

void Station::Start() {
    std::vector<std::string> errors;
    transport_.set_access(ReadRemoteAccess(IniFile::Load(SettingsPath(station_dir_)), errors));
    for (const std::string& error : errors) {
        std::fprintf(stderr, "vantu: %s\n", error.c_str());
    }
    controller_.StartController();
    StartMetrics();
}

void Station::StartMetrics() {
    std::string error;
    const std::optional<MetricsEndpoint> endpoint =
        ReadMetricsEndpoint(IniFile::Load(SettingsPath(station_dir_)), error);
    if (!error.empty()) {
        std::fprintf(stderr, "vantu: %s; metrics off\n", error.c_str());
    }
    if (!endpoint) {
        return;
    }
    metrics_ = std::make_unique<MetricsServer>([this] { return Snapshot(); }, clock_);
    if (!metrics_->Listen(*endpoint)) {
        metrics_.reset();
    }
}

StationSnapshot Station::Snapshot() {
    StationSnapshot snapshot = TakeSnapshot(
        SnapshotSources{controller_.flags(), controller_.main_page(), controller_.report(),
                        controller_.modules(), controller_.poll_counters(),
                        controller_.report_watch(), controller_.remote().dispatcher().latency(),
                        [this] { return IsControlCodeBusy(controller_.card()); }},
        clock_.Microseconds());
    snapshot.alarms = controller_.report_watch().history().Figures(clock_.Now());
    return snapshot;
}

void Station::Shutdown() {
    if (shut_down_) {
        return;
    }
    shut_down_ = true;
    metrics_.reset();
    controller_.ShutdownController();
}

}  // namespace vantu
