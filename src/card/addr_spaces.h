// The address spaces a driver publishes for an open card: one per BAR up to the highest
// BAR the card has, numbered by BAR; a BAR without a resource has size 0.
#pragma once

#include <vector>

#include "card/pci_records.h"

namespace vantu {

std::vector<PciAddrSpace> DescribeAddrSpaces(const PciCardInfo& info);

}  // namespace vantu
