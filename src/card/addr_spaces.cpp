#include "card/addr_spaces.h"

#include <cstdint>

namespace vantu {

std::vector<PciAddrSpace> DescribeAddrSpaces(const PciCardInfo& info) {
    std::vector<PciAddrSpace> spaces;
    for (std::uint32_t index = 0; index < info.items.size(); ++index) {
        const PciResourceItem& item = info.items[index];
        if (item.type != kPciItemMemory && item.type != kPciItemIo) {
            continue;
        }
        if (spaces.size() <= item.bar) {
            spaces.resize(item.bar + 1);
            for (std::uint32_t bar = 0; bar < spaces.size(); ++bar) {
                spaces[bar].number = bar;
            }
        }
        PciAddrSpace& space = spaces[item.bar];
        space.is_memory = item.type == kPciItemMemory;
        space.item_index = index;
        space.size = item.size;
    }
    return spaces;
}

}  // namespace vantu
