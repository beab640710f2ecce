#include "tools/monitor_tool.h"

#include <signal.h>

#include <charconv>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <system_error>

#include "base/ini_file.h"
#include "base/software_version.h"
#include "base/system_clock.h"
#include "serial/firmware_page_model.h"
#include "serial/line_settings.h"
#include "serial/monitor_client.h"
#include "serial/serial_port.h"
#include "sim/chassis_model.h"
#include "sim/chassis_settings.h"
#include "sim/simulated_card.h"
#include "sim/simulated_firmware.h"

namespace vantu {
namespace {

constexpr const char* kUsage =
    "Usage: vantu-monitor [--device PATH | --com N | --simulate] versions\n"
    "       vantu-monitor [--device PATH | --com N | --simulate] send TEXT\n"
    "       vantu-monitor --serve\n"
    "       vantu-monitor -h | --help | --version\n"
    "Reads the QDX-A firmware versions over the serial monitor link (115200 8N1), or\n"
    "sends one monitor command and prints its reply. Without a device option the COM\n"
    "port and DEVICE of setup.ini are used. --simulate talks to the simulated firmware;\n"
    "--serve runs it alone and prints the pseudo-terminal to open.\n"
    "Exit status: 0 success; 1 no link, a short or missing reply, or an ERR reply;\n"
    "2 usage error.\n";

constexpr int kFailure = 1;
constexpr int kUsageError = 2;

constexpr int kBaud = 115200;
constexpr std::size_t kSendReplyBytes = 64 * 1024;

struct Options {
    bool help = false;
    bool version = false;
    bool serve = false;
    bool simulate = false;
    std::optional<std::string> device;
    std::optional<int> com;
    std::string action;
    std::string text;
};

struct Failure {
    std::string reason;
};

// A command line the tool cannot act on.
struct Usage {
    std::string reason;
};

Options Parse(std::span<const std::string_view> args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) {
                throw Usage{std::string(arg) + " needs a value"};
            }
            return std::string(args[++i]);
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--serve") {
            options.serve = true;
        } else if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--device") {
            options.device = value();
        } else if (arg == "--com") {
            const std::string number = value();
            int com = 0;
            const auto [end, error] =
                std::from_chars(number.data(), number.data() + number.size(), com);
            if (error != std::errc() || end != number.data() + number.size()) {
                throw Usage{"--com wants a port number, not \"" + number + "\""};
            }
            options.com = com;
        } else if (options.action.empty() && (arg == "versions" || arg == "send")) {
            options.action = arg;
        } else if (options.action == "send" && options.text.empty()) {
            options.text = arg;
        } else {
            throw Usage{"unexpected argument \"" + std::string(arg) + "\""};
        }
    }
    if (!options.help && !options.version && !options.serve && options.action.empty()) {
        throw Usage{"nothing to do: give versions, send TEXT or --serve"};
    }
    if (options.action == "send" && options.text.empty()) {
        throw Usage{"send needs the command text"};
    }
    return options;
}

int Serve(const std::string& station_dir, std::ostream& out) {
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    SimulatedFirmware firmware(LoadChassisSettings(station_dir).absent_modules);
    out << firmware.slave_path() << std::endl;
    int signal = 0;
    sigwait(&stop, &signal);
    return 0;
}

// The unit versions the simulated chassis reports in its status words.
void PrintSimulatedUnits(const std::string& station_dir, std::ostream& out) {
    SimulatedCard card;
    SystemClock clock;
    ChassisModel chassis(card, clock, LoadChassisSettings(station_dir));
    chassis.Update();
    std::vector<std::uint32_t> reg_sts(256);
    for (std::uint32_t word = 0; word < reg_sts.size(); ++word) {
        reg_sts[word] = card.ReportWord(word);
    }
    FirmwarePageModel page;
    InitFirmwarePage(page);
    std::ostringstream console;
    ShowUnitVersions(page, reg_sts, console);
    for (const auto& row : page.units) {
        out << row[2].text << "=" << row[3].text << "\n"
            << row[5].text << "=" << row[6].text << "\n";
    }
}

void PrintModules(const FirmwarePageModel& page, std::ostream& out) {
    for (const auto& row : page.modules) {
        std::string line = row[1].text;
        bool any = false;
        for (int q = 0; q < 8; ++q) {
            const std::string& version = row[static_cast<std::size_t>(2 + 2 * q)].text;
            if (!version.empty()) {
                line += " Q" + std::to_string(q) + "=" + version;
                any = true;
            }
        }
        out << line << (any ? "" : " absent") << "\n";
    }
}

// The first answer line of a monitor reply that reports an error, or empty.
std::string ErrorLine(const std::string& reply) {
    std::istringstream lines(reply);
    std::string line;
    std::getline(lines, line);  // the echo of the command
    while (std::getline(lines, line)) {
        if (line.starts_with("ERR")) {
            return line.substr(0, line.find('\r'));
        }
    }
    return {};
}

int Talk(const Options& options, const std::string& station_dir, std::ostream& out) {
    const IniFile ini = IniFile::Load(station_dir + "/setup.ini");
    int com =
        options.com.value_or(std::atoi(ini.Get("COM_PORT", "COM_PORT").value_or("1").c_str()));
    std::string device = ini.Get("COM_PORT", "DEVICE").value_or("");
    std::unique_ptr<SimulatedFirmware> simulated;
    if (options.simulate) {
        simulated =
            std::make_unique<SimulatedFirmware>(LoadChassisSettings(station_dir).absent_modules);
        device = simulated->slave_path();
    } else if (options.device) {
        device = *options.device;
    }

    std::ostringstream console;
    SerialPort port(console);
    port.set_device(device);
    const int opened = port.OpenSerialPort(com, kBaud, 'N', '\r');
    const std::string path = ComDevicePath(com, device);
    const std::string name = path.empty() ? "COM" + std::to_string(com) : path;
    if (opened == kPortNotOpened) {
        throw Failure{"cannot open " + name + " (missing, busy, or not a serial device)"};
    }
    if (opened != kPortReady) {
        throw Failure{"no firmware answers on " + name + " (wrong or missing wake-up answer)"};
    }
    SystemClock clock;
    MonitorClient monitor(port, clock, console);
    if (options.action == "send") {
        port.SendCommand(options.text);
        port.WaitReply(port.reply_wait() + 10);
        const std::string reply = port.ReadReply(kSendReplyBytes);
        if (reply.empty() || reply.back() != kPromptChar) {
            throw Failure{"no complete reply from " + name + " (time-out)"};
        }
        out << reply << "\n";
        if (const std::string error = ErrorLine(reply); !error.empty()) {
            throw Failure{"the firmware answered " + error};
        }
        return 0;
    }
    port.SetReplyWait(10);
    std::array<std::uint8_t, kVersionBlockBytes> block{};
    const std::size_t got = monitor.ReadAllVersions(block);
    if (options.simulate) {
        PrintSimulatedUnits(station_dir, out);
    }
    // Like the firmware page, a short reply shows the modules that arrived, the rest absent.
    FirmwarePageModel page;
    InitFirmwarePage(page);
    ShowModuleVersions(page, std::span<const std::uint8_t>(block).first(got));
    PrintModules(page, out);
    if (got < block.size()) {
        throw Failure{"the version reply from " + name + " stopped after " + std::to_string(got) +
                      " of " + std::to_string(block.size()) + " bytes (time-out)"};
    }
    return 0;
}

}  // namespace

int RunMonitorTool(std::span<const std::string_view> args, const std::string& station_dir,
                   std::ostream& out, std::ostream& err) {
    try {
        const Options options = Parse(args);
        if (options.help) {
            out << kUsage;
            return 0;
        }
        if (options.version) {
            out << "vantu-monitor " << kSoftwareVersion << "\n";
            return 0;
        }
        if (options.serve) {
            return Serve(station_dir, out);
        }
        return Talk(options, station_dir, out);
    } catch (const Usage& usage) {
        err << "vantu-monitor: " << usage.reason << " (see --help)\n";
        return kUsageError;
    } catch (const Failure& failure) {
        err << "vantu-monitor: " << failure.reason << "\n";
    } catch (const std::exception& error) {
        err << "vantu-monitor: " << error.what() << "\n";
    }
    return kFailure;
}

}  // namespace vantu
