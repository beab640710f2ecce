#include "pattern/chassis_controls.h"

#include <algorithm>
#include <cstdio>

#include "controller/controller_commands.h"
#include "pattern/pattern_loader.h"

namespace vantu {
namespace {

std::string LowerExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    std::string extension(dot == std::string_view::npos ? std::string_view()
                                                        : name.substr(dot + 1));
    std::ranges::transform(extension, extension.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return extension;
}

}  // namespace

ChassisControls::ChassisControls(AnalyzerPageModel& page, CommandSink& commands, Timers& timers,
                                 Prompts& prompts, LogFiles& logs)
    : page_(page), commands_(commands), timers_(timers), prompts_(prompts), logs_(logs) {}

void ChassisControls::ListWithSeparator(const std::string& text) {
    page_.tcp_messages.Add(text);
    page_.tcp_messages.Add(kListSeparator);
}

void ChassisControls::ClickSingleStep() {
    page_.chassis.single_step = true;
    page_.chassis.interval_list_enabled = false;
}

void ChassisControls::ClickContinuous() {
    page_.chassis.single_step = false;
    page_.chassis.interval_list_enabled = true;
}

bool ChassisControls::ChooseBrowsedFile(const std::string& path) {
    const std::string_view name = PatternFileName(path);
    if (LowerExtension(name) != "cfg") {
        prompts_.Show(PromptIcon::Warning, "Failed to open payload file. ( *.cfg )    ");
        return false;
    }
    AnalyzerPageModel::ChassisGroup& group = page_.chassis;
    group.browse_dir = path.substr(0, path.size() - name.size());
    group.control_code_name = name;
    group.control_code_tooltip = path;
    group.load_button_enabled = true;
    return true;
}

int ChassisControls::ClickLoad() {
    return commands_.Send(kCodeAnalyzerLoad, kArgAnalyzerLoad);
}

void ChassisControls::ClickRun() {
    AnalyzerPageModel::ChassisGroup& group = page_.chassis;
    if (!group.pattern_loaded) {
        return;
    }
    if (group.single_step) {
        group.run_button_enabled = true;
        group.stop_button_enabled = true;
        page_.tcp_messages.Add("PXIe/QDX 全型機箱控制執行碼 : 執行");
        ListWithSeparator("PXIe/QDX 全型機箱控制 : 單步模式");
    } else {
        page_.tcp_messages.Add("PXIe/QDX 全型機箱控制執行碼 : 啟用");
        page_.tcp_messages.Add("PXIe/QDX 全型機箱控制執行碼 : 連續模式");
        const auto& seconds = AnalyzerPageModel::ChassisGroup::kIntervalSeconds;
        if (group.interval_selection >= 0 &&
            static_cast<std::size_t>(group.interval_selection) < seconds.size()) {
            group.interval_ms = seconds[static_cast<std::size_t>(group.interval_selection)] * 1000;
        }
        timers_.Start(kContinuousRunTimer, group.interval_ms);
        char text[64];
        std::snprintf(text, sizeof text, "[PXIe] 執行的間隔時間 : %d (秒)",
                      group.interval_ms / 1000);
        ListWithSeparator(text);
        logs_.AppendLog(text);
        group.stop_button_enabled = true;
    }
    commands_.Send(kCodeRunControl, kArgEnableControl);
}

void ChassisControls::ClickStop() {
    AnalyzerPageModel::ChassisGroup& group = page_.chassis;
    if (!group.pattern_loaded) {
        return;
    }
    const std::string text = "PXIe/QDX 全型機箱控制執行碼 : 停止執行";
    ListWithSeparator(text);
    logs_.AppendLog(text);
    logs_.AppendLog(kLogSeparator);
    // Killed in either mode: a switch to single step must not leave the restarts running.
    timers_.Kill(kContinuousRunTimer);
    group.stop_button_enabled = false;
    commands_.Send(kCodeRunControl, kArgStopControl);
}

void ChassisControls::HandleContinuousTick() {
    commands_.Post(kCodeRunControl, kArgEnableControl);
    timers_.Start(kContinuousRunTimer, page_.chassis.interval_ms);
}

}  // namespace vantu
