// The vantu-card commands on an open card.
#pragma once

#include "card/card_handle.h"
#include "tools/card_tool_command.h"

namespace vantu {

// Results on standard output, the flash layer's marks on standard error; the exit status.
int RunCardToolCommand(CardHandle card, const CardToolCommand& command);

}  // namespace vantu
