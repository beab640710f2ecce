// How a COM port number becomes a device, and the line the monitor link runs on:
// 8 data bits, one stop bit, parity from a letter, no flow control.
#pragma once

#include <termios.h>

#include <string>

namespace vantu {

enum class Parity { kNone, kEven, kOdd, kMark, kSpace };

// "E"/"e" even, "O"/"o" odd, "M"/"m" mark, "S"/"s" space, anything else none.
Parity ParityFromLetter(char letter);

// The device of COM port n: the configured device when one is named, else
// /dev/ttyS<n-1>. Empty for numbers outside 1..99, which the port refuses.
std::string ComDevicePath(int port, const std::string& configured_device);

// Raw 8-bit line at the given rate with the parity, without any flow control. False
// for a rate the line cannot run at.
bool ApplyLineSettings(termios& line, int baud, Parity parity);

}  // namespace vantu
