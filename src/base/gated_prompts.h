// The operator's message boxes holding the busy gate while they wait, so nothing that
// arrives during a question runs before it has been answered.
#pragma once

#include "base/busy_gate.h"
#include "base/ports.h"

namespace vantu {

class GatedPrompts : public Prompts {
  public:
    GatedPrompts(Prompts& prompts, BusyGate& gate) : prompts_(prompts), gate_(gate) {}

    bool AskYesNo(const std::string& text) override;

  protected:
    void ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) override;

  private:
    Prompts& prompts_;
    BusyGate& gate_;
};

}  // namespace vantu
