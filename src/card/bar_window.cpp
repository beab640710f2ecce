#include "card/bar_window.h"

#include "card/last_error.h"

namespace vantu {

PciStatus CheckWindowAccess(std::uint32_t space, std::uint64_t offset, std::uint64_t bytes,
                            std::uint64_t window_bytes) {
    if (offset % 4 != 0 || bytes % 4 != 0) {
        RecordLastError(
            "BAR %u access of %llu bytes at offset 0x%llX is not in 32-bit units; refused\n", space,
            static_cast<unsigned long long>(bytes), static_cast<unsigned long long>(offset));
        return kPciInvalidParameter;
    }
    if (offset > window_bytes || bytes > window_bytes - offset) {
        RecordLastError(
            "BAR %u access of %llu bytes at offset 0x%llX lies outside the 0x%llX-byte "
            "window; refused\n",
            space, static_cast<unsigned long long>(bytes), static_cast<unsigned long long>(offset),
            static_cast<unsigned long long>(window_bytes));
        return kPciOutsideWindow;
    }
    return kPciSuccess;
}

}  // namespace vantu
