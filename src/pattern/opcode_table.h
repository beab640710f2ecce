// The OP-code parameter table of the loaded pattern: the card address and value of
// every parameter word (even word index) and command word (odd index). Entry k of
// each side belongs to pair k. Remote commands count parameters from 1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vantu {

inline constexpr std::size_t kOpCodePairs = 1024;

struct OpCodeEntry {
    // The low 16 bits of the word's card offset.
    std::uint16_t address = 0;
    std::uint32_t word = 0;

    bool operator==(const OpCodeEntry&) const = default;
};

class OpCodeTable {
  public:
    void Clear();

    // Enters the next word of a load, in file order. False once the table is full.
    bool Append(std::uint32_t card_offset, std::uint32_t word);

    // Complete parameter/command pairs.
    std::uint16_t pair_count() const { return static_cast<std::uint16_t>(words_ / 2); }
    // Parameter entries recorded: the pairs plus an odd trailing parameter word.
    std::size_t parameter_count() const { return (words_ + 1) / 2; }

    // Entry index (from 0) of either side; an index beyond the table gives an empty entry.
    OpCodeEntry parameter(std::size_t index) const;
    OpCodeEntry command(std::size_t index) const;

    // Parameter number n as the remote commands count (1 .. parameter_count()).
    std::optional<OpCodeEntry> FindParameter(std::uint32_t number) const;

  private:
    std::size_t words_ = 0;
    std::array<OpCodeEntry, kOpCodePairs> commands_{};
    std::array<OpCodeEntry, kOpCodePairs> parameters_{};
};

}  // namespace vantu
