// The text a "設定" button of the analyzer settings dialog sends to the main window:
// the command word (ending in its space), the value box's text, a space, the unit.
#pragma once

#include <string>
#include <string_view>

namespace vantu {

enum class DialogButton { kCenter, kSpan, kTraceA, kTraceB, kTraceC, kTraceD };

// Empty when the value box is empty: nothing is sent then. With the sync box
// ticked, Trace A sets all four markers.
std::string SettingsDialogText(DialogButton button, bool sync, std::string_view value,
                               std::string_view unit);

}  // namespace vantu
