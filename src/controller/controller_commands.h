// The controller command message: every (code, argument) pair the pages hand to the
// main controller.
#pragma once

#include <cstdint>

namespace vantu {

// Code 2: the main page's buttons and menu, and run control.
inline constexpr int kCodeRunControl = 2;
inline constexpr std::intptr_t kArgClose = 0;
inline constexpr std::intptr_t kArgRefresh = 2;
inline constexpr std::intptr_t kArgLoadFromMainPage = 3;
inline constexpr std::intptr_t kArgEnableControl = 5;
inline constexpr std::intptr_t kArgStopControl = 6;
inline constexpr std::intptr_t kArgResetReportStates = 7;
inline constexpr std::intptr_t kArgResetControlCode = 8;
inline constexpr std::intptr_t kArgSaveRefLineColour = 10;
inline constexpr std::intptr_t kArgSaveTempColours = 11;
inline constexpr std::intptr_t kArgMinimise = 12;

// Code 6: the firmware version page's read button.
inline constexpr int kCodeFirmware = 6;
inline constexpr std::intptr_t kArgReadFirmware = 1;

// Code 7: the signal-analyzer page's "載入".
inline constexpr int kCodeAnalyzerLoad = 7;
inline constexpr std::intptr_t kArgAnalyzerLoad = 1;

// Code 10: a module update request of the TRM status page (argument: the request).
inline constexpr int kCodeModuleRequest = 10;

// Code 21: clear one module's report words in the host copy (argument: the module).
inline constexpr int kCodeClearModule = 21;

}  // namespace vantu
