// The main page's run button: it flips on every click and posts enable or stop, so it
// flips even when the controller refuses the enable.
#pragma once

#include "controller/command_sink.h"
#include "model/main_page_model.h"

namespace vantu {

void ClickMainRunButton(MainPageModel& page, CommandSink& commands);

}  // namespace vantu
