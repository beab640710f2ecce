#include "card/last_error.h"

#include <cstdarg>
#include <cstdio>

namespace vantu {
namespace {

char last_error[kLastErrorCapacity] = "";

}  // namespace

void RecordLastError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(last_error, sizeof last_error, format, args);
    va_end(args);
}

const char* TESPCICONTROL_GetLastError() {
    return last_error;
}

}  // namespace vantu
