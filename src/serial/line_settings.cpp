#include "serial/line_settings.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vantu {
namespace {

constexpr int kMaxComPort = 99;

constexpr std::array<std::pair<int, speed_t>, 12> kRates = {{
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {921600, B921600},
    {1000000, B1000000},
}};

}  // namespace

Parity ParityFromLetter(char letter) {
    switch (letter) {
        case 'E':
        case 'e':
            return Parity::kEven;
        case 'O':
        case 'o':
            return Parity::kOdd;
        case 'M':
        case 'm':
            return Parity::kMark;
        case 'S':
        case 's':
            return Parity::kSpace;
        default:
            return Parity::kNone;
    }
}

std::string ComDevicePath(int port, const std::string& configured_device) {
    if (port < 1 || port > kMaxComPort) {
        return {};
    }
    if (!configured_device.empty()) {
        return configured_device;
    }
    return "/dev/ttyS" + std::to_string(port - 1);
}

bool ApplyLineSettings(termios& line, int baud, Parity parity) {
    const auto* rate = std::find_if(kRates.begin(), kRates.end(),
                                    [baud](const auto& entry) { return entry.first == baud; });
    if (rate == kRates.end()) {
        return false;
    }
    // Binary line: no input translation, no output processing, no echo or line editing,
    // and no XON/XOFF flow control, which would swallow 0x11 and 0x13 in a reply.
    line.c_iflag = IGNBRK;
    line.c_oflag = 0;
    line.c_lflag = 0;
    line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    line.c_cflag |= CS8 | CREAD | CLOCAL;
    switch (parity) {
        case Parity::kNone:
            break;
        case Parity::kEven:
            line.c_cflag |= PARENB;
            break;
        case Parity::kOdd:
            line.c_cflag |= PARENB | PARODD;
            break;
        case Parity::kMark:
            line.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case Parity::kSpace:
            line.c_cflag |= PARENB | CMSPAR;
            break;
    }
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    cfsetispeed(&line, rate->second);
    cfsetospeed(&line, rate->second);
    return true;
}

}  // namespace vantu
