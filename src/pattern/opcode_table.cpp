#include "pattern/opcode_table.h"

namespace vantu {

void OpCodeTable::Clear() {
    *this = OpCodeTable{};
}

bool OpCodeTable::Append(std::uint32_t card_offset, std::uint32_t word) {
    if (words_ >= 2 * kOpCodePairs) {
        return false;
    }
    const OpCodeEntry entry{static_cast<std::uint16_t>(card_offset & 0xFFFF), word};
    auto& side = words_ % 2 == 0 ? parameters_ : commands_;
    side[words_ / 2] = entry;
    ++words_;
    return true;
}

OpCodeEntry OpCodeTable::parameter(std::size_t index) const {
    return index < kOpCodePairs ? parameters_[index] : OpCodeEntry{};
}

OpCodeEntry OpCodeTable::command(std::size_t index) const {
    return index < kOpCodePairs ? commands_[index] : OpCodeEntry{};
}

std::optional<OpCodeEntry> OpCodeTable::FindParameter(std::uint32_t number) const {
    if (number == 0 || number > parameter_count()) {
        return std::nullopt;
    }
    return parameters_[number - 1];
}

}  // namespace vantu
