// The process-wide last error text of the device library and its drivers.
#pragma once

namespace vantu {

inline constexpr int kLastErrorCapacity = 256;  // 255 characters and the terminator

// Formats into the last error text, replacing the previous one; longer texts are cut.
void RecordLastError(const char* format, ...) __attribute__((format(printf, 1, 2)));

const char* TESPCICONTROL_GetLastError();

}  // namespace vantu
