#include "status/module_table.h"

namespace vantu {

ModuleRecord* ModuleTable::Find(int module) {
    if (module < 0 || static_cast<std::size_t>(module) >= records.size()) {
        return nullptr;
    }
    return &records[static_cast<std::size_t>(module)];
}

const ModuleRecord* ModuleTable::Find(int module) const {
    return const_cast<ModuleTable*>(this)->Find(module);
}

void BuildModuleTable(ModuleTable& table) {
    table.records.assign(kModuleCount, ModuleRecord{});
    for (int m = 0; m < kModuleCount; ++m) {
        ModulePlace place = PlaceOfModule(m);
        ModuleRecord& record = table.records[static_cast<std::size_t>(m)];
        record.column = static_cast<std::uint8_t>(place.column);
        record.index = static_cast<std::uint8_t>(place.index);
        record.number = static_cast<std::uint8_t>(m);
    }
}

void FreeModuleTable(ModuleTable& table) {
    table.records.clear();
    table.records.shrink_to_fit();
}

}  // namespace vantu
