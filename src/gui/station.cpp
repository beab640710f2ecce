#include "gui/station.h"

#include <cstdio>
#include <system_error>
#include <utility>

#include "card/card_open.h"
#include "card/device_library.h"
#include "card/sysfs_pci_driver.h"

namespace vantu {
namespace {

constexpr const char* kSysfsRoot = "/sys";

}  // namespace

Station::Station(const CommandLine& options, const std::string& station_dir, SharedSettings& shared,
                 MainWindow& window, Prompts& prompts)
    : timers_([this](int id) { controller_.HandleTimerTick(id); }),
      transport_(static_cast<std::uint16_t>(options.port)),
      controller_(ControllerPorts{prompts, timers_, clock_, poster_, window, transport_},
                  station_dir, shared, [](CardHandle& card) { return OpenCard(card); }) {
    InstallCardDriver(options, station_dir);
    transport_.set_events(&controller_.remote().transport_events());
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
    auto simulated = std::make_unique<SimulatedPciDriver>();
    const ChassisSettings settings = LoadChassisSettings(station_dir);
    chassis_ = std::make_unique<ChassisModel>(simulated->card(), clock_, settings);
    chassis_->AttachToReads();
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
    controller_.StartController();
}

void Station::Shutdown() {
    if (shut_down_) {
        return;
    }
    shut_down_ = true;
    controller_.ShutdownController();
}

}  // namespace vantu
