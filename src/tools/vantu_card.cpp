// vantu-card: bring-up and service of the PXIeCtrl card through the device library, on
// the hardware (sysfs) or on the simulated card.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/software_version.h"
#include "card/card_open.h"
#include "card/device_library.h"
#include "card/sysfs_pci_driver.h"
#include "sim/simulated_pci_driver.h"
#include "tools/card_tool_command.h"
#include "tools/card_tool_run.h"

namespace {

constexpr int kCardFailure = 1;
constexpr int kUsageError = 2;

std::unique_ptr<vantu::PciDriver> MakeDriver(const vantu::CardToolCommand& command) {
    if (command.simulate) {
        return std::make_unique<vantu::SimulatedPciDriver>();
    }
    return std::make_unique<vantu::SysfsPciDriver>(command.sysfs_root);
}

// The device library lists the cards it finds on standard output, the station's
// console; in the tool that is a diagnostic and goes to standard error.
vantu::PciStatus OpenCardQuietly(vantu::CardHandle& card) {
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    const vantu::PciStatus status = vantu::OpenCard(card);
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    return status;
}

int RunCardTool(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    std::string error;
    const auto command = vantu::ParseCardToolCommand(args, error);
    if (!command) {
        std::fprintf(stderr, "vantu-card: %s (see --help)\n", error.c_str());
        return kUsageError;
    }
    if (command->action == vantu::CardToolAction::kVersion) {
        std::printf("vantu-card %s\n", vantu::kSoftwareVersion.data());
        return 0;
    }
    if (command->action == vantu::CardToolAction::kHelp) {
        std::fputs(vantu::kCardToolUsage, stdout);
        return 0;
    }
    const std::unique_ptr<vantu::PciDriver> driver = MakeDriver(*command);
    vantu::InstallPciDriver(driver.get());
    vantu::CardHandle card = nullptr;
    const vantu::PciStatus status = OpenCardQuietly(card);
    if (status != vantu::kPciSuccess) {
        std::fprintf(stderr, "vantu-card: cannot open the PXIeCtrl card: Error 0x%X - %s\n%s",
                     status, driver->StatusText(status).c_str(),
                     vantu::TESPCICONTROL_GetLastError());
        vantu::InstallPciDriver(nullptr);
        return kCardFailure;
    }
    const int result = vantu::RunCardToolCommand(card, *command);
    vantu::CloseCard(card);
    vantu::TESPCICONTROL_LibraryClose();
    vantu::InstallPciDriver(nullptr);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return RunCardTool(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantu-card: %s\n", error.what());
        return kCardFailure;
    }
}
