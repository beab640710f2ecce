#include "pattern/main_run_button.h"

#include "controller/controller_commands.h"

namespace vantu {

void ClickMainRunButton(MainPageModel& page, CommandSink& commands) {
    commands.Post(kCodeRunControl, page.running ? kArgStopControl : kArgEnableControl);
    page.running = !page.running;
}

}  // namespace vantu
