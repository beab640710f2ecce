#include "instruments/settings_dialog_text.h"

namespace vantu {
namespace {

std::string_view Word(DialogButton button, bool sync) {
    switch (button) {
        case DialogButton::kCenter:
            return "VSACENTER ";
        case DialogButton::kSpan:
            return "VSASPAN ";
        case DialogButton::kTraceA:
            return sync ? "TRACE_ALL_FREQ " : "TRACE_A_FREQ ";
        case DialogButton::kTraceB:
            return "TRACE_B_FREQ ";
        case DialogButton::kTraceC:
            return "TRACE_C_FREQ ";
        case DialogButton::kTraceD:
            return "TRACE_D_FREQ ";
    }
    return {};
}

}  // namespace

std::string SettingsDialogText(DialogButton button, bool sync, std::string_view value,
                               std::string_view unit) {
    if (value.empty()) {
        return {};
    }
    std::string text(Word(button, sync));
    text.append(value).append(" ").append(unit);
    return text;
}

}  // namespace vantu
