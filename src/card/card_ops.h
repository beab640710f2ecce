// Card register and memory access on BAR 0 of the control card. A null handle never
// reaches the driver: reads give 0 and writes do nothing.
#pragma once

#include <cstdint>

#include "card/card_handle.h"

namespace vantu {

int ReadCardRegister(CardHandle card, std::uint32_t offset, std::uint32_t& value);
int WriteCardRegister(CardHandle card, std::uint32_t offset, std::uint32_t value);
// False when a word of the block did not answer (it then reads 0).
bool ReadReportBlock(CardHandle card, std::uint32_t* sys_rpt_reg, std::uint32_t block_index);
void ClearReportBlock(CardHandle card, std::uint32_t block_index);
void ClearControlCodeMemory(CardHandle card);
void EnableControlCode(CardHandle card);
void StopControlCode(CardHandle card);
bool IsControlCodeBusy(CardHandle card);

}  // namespace vantu
