// The bounds rule every driver applies before touching a BAR: 32-bit aligned and wholly
// inside the window. A remote parameter index or a pattern file can name any offset,
// so a refused access records why in the last error text.
#pragma once

#include <cstdint>

#include "card/pci_status.h"

namespace vantu {

PciStatus CheckWindowAccess(std::uint32_t space, std::uint64_t offset, std::uint64_t bytes,
                            std::uint64_t window_bytes);

}  // namespace vantu
