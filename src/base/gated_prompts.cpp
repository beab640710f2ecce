#include "base/gated_prompts.h"

namespace vantu {

bool GatedPrompts::AskYesNo(const std::string& text) {
    BusyGate::Hold hold(gate_);
    return prompts_.AskYesNo(text);
}

void GatedPrompts::ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) {
    BusyGate::Hold hold(gate_);
    prompts_.Show(icon, text, caption);
}

}  // namespace vantu
