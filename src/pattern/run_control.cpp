#include "pattern/run_control.h"

#include <algorithm>

#include "card/bar0_map.h"
#include "card/card_ops.h"
#include "controller/controller_timers.h"
#include "pattern/pattern_directory.h"

namespace vantu {
namespace {

constexpr int kBusyStopSettleMs = 500;
constexpr int kClearSettleMs = 200;
constexpr int kResetStopLeadMs = 10;
constexpr int kButtonEnableMs = 50;

std::string Spaces(std::size_t n) {
    return std::string(n, ' ');
}

}  // namespace

RunControl::RunControl(RunControlContext context) : ctx_(context) {}

void RunControl::ListAndLog(const std::string& text) {
    ctx_.analyzer_page.tcp_messages.Add(text);
    ctx_.logs.AppendLog(text);
}

void RunControl::RememberLoaded(std::string_view path) {
    loaded_.dir = ctx_.settings.pattern_dir;
    loaded_.name = PatternFileName(path);
}

int RunControl::LoadFromMainPage() {
    if (!ctx_.flags.card_present) {
        return 1;
    }
    const MainPageModel& page = ctx_.main_page;
    const std::string name =
        page.pattern_selection >= 0 &&
                static_cast<std::size_t>(page.pattern_selection) < page.pattern_list.size()
            ? page.pattern_list[static_cast<std::size_t>(page.pattern_selection)]
            : std::string();
    const std::string& dir = ctx_.settings.pattern_dir;

    if (!PatternFileExists(dir, name)) {
        ctx_.prompts.Show(
            PromptIcon::Warning,
            "QDX 全型機箱控制執行碼 [ " + name + " ] 檔案不存在.        \n\n路徑 : " + dir,
            "檔案錯誤");
        ctx_.logs.AppendLog("[MAIN] 載入執行碼檔名 : " + name);
        ctx_.logs.AppendLog("[MAIN] PXIe/QDX 全型機箱控制執行碼 : 不存在");
        return 1;
    }
    if (!ctx_.prompts.AskYesNo("您確定要載入 PXIe/QDX 全型機箱控制執行碼嗎 ?\n\n\n路徑 : " + dir +
                               "\n檔名 : " + name + Spaces(17))) {
        return 1;
    }

    StopPeriodicTimers(ctx_.timers);
    ctx_.logs.AppendLog("[MAIN] 載入執行碼檔名 : " + name);
    const std::string path = dir + "/" + name;

    // A file the loader refuses changes nothing on the card: the running code goes on.
    PatternImage image;
    if (ctx_.loader.ReadForLoad(path, image, true) != kPatternRead) {
        RestartPeriodicTimers(ctx_.timers, ctx_.card != nullptr);
        return 0;
    }

    if (IsControlCodeBusy(ctx_.card)) {
        if (!ctx_.prompts.AskYesNo(
                "PXIe/QDX 全型機箱工作忙碌中!\n您要停止 PXIe/QDX-C "
                "控制及載入新的控制執行碼嗎 ?\n\n\n已執行中的控制執行碼\n路徑 : " +
                loaded_.dir + "\n檔名 : " + loaded_.name + Spaces(23))) {
            RestartPeriodicTimers(ctx_.timers, ctx_.card != nullptr);
            return 0;
        }
        ctx_.logs.AppendLog("[MAIN] PXIe/QDX 全型機箱執行碼控制 : 忙碌中");
        StopControlCode(ctx_.card);
        ctx_.logs.AppendLog("[MAIN] PXIe/QDX 全型機箱控制執行碼 : 已停用");
        ctx_.main_page.running = false;
        ctx_.clock.SleepMs(kBusyStopSettleMs);
    }

    ClearControlCodeMemory(ctx_.card);
    ctx_.logs.AppendLog("[MAIN] PXIe/QDX 全型機箱控制執行碼 : 已重置");
    ctx_.clock.SleepMs(kClearSettleMs);

    ctx_.loader.LoadImage(ctx_.card, path, image, true);
    RememberLoaded(path);
    RestartPeriodicTimers(ctx_.timers, ctx_.card != nullptr);
    return 0;
}

int RunControl::EnableControl() {
    if (!ctx_.flags.card_present) {
        return 1;
    }
    EnableControlCode(ctx_.card);
    return 0;
}

int RunControl::StopControl() {
    if (ctx_.flags.card_present) {
        StopControlCode(ctx_.card);
    }
    return 0;
}

void RunControl::StopIfBusyForReset() {
    if (!IsControlCodeBusy(ctx_.card)) {
        return;
    }
    ctx_.clock.SleepMs(kResetStopLeadMs);
    StopControlCode(ctx_.card);
    ctx_.main_page.running = false;
    ctx_.clock.SleepMs(kBusyStopSettleMs);
}

int RunControl::ResetReportStates() {
    StopPeriodicTimers(ctx_.timers);
    ctx_.flags.load_stop = true;
    StopIfBusyForReset();

    std::ranges::fill(ctx_.report_copy, 0u);
    for (std::uint32_t block = 0; block < kReportBlockCount; ++block) {
        ClearReportBlock(ctx_.card, block);
    }
    ctx_.prompts.Show(PromptIcon::Information, "全面天線的全部狀態值已重置完成!" + Spaces(18));

    ctx_.flags.load_stop = false;
    RestartPeriodicTimers(ctx_.timers, ctx_.card != nullptr);
    return 0;
}

int RunControl::ResetControlCode() {
    StopPeriodicTimers(ctx_.timers);
    ctx_.flags.load_stop = true;
    StopIfBusyForReset();

    ClearControlCodeMemory(ctx_.card);
    ctx_.flags.load_stop = false;
    ctx_.prompts.Show(PromptIcon::Information,
                      "PXIe/QDX 全型機箱控制執行碼已重置完成!" + Spaces(18));

    RestartPeriodicTimers(ctx_.timers, ctx_.card != nullptr);
    return 0;
}

void RunControl::LoadCheckedFromAnalyzerPage(const std::string& path) {
    // A file the loader refuses changes nothing on the card: the running code goes on.
    PatternImage image;
    if (ctx_.loader.ReadForLoad(path, image, false) != kPatternRead) {
        return;
    }
    if (IsControlCodeBusy(ctx_.card)) {
        ListAndLog("[GUI] PXIe/QDX 全型機箱執行碼控制 : 忙碌中");
        StopControlCode(ctx_.card);
        ctx_.main_page.running = false;
        ListAndLog("[GUI] PXIe/QDX 全型機箱控制執行碼 : 已停用");
        ctx_.clock.SleepMs(kBusyStopSettleMs);
    }
    ClearControlCodeMemory(ctx_.card);
    ListAndLog("[GUI] PXIe/QDX 全型機箱控制執行碼 : 已重置");

    ctx_.loader.LoadImage(ctx_.card, path, image, false);
    RememberLoaded(path);
    AnalyzerPageModel::ChassisGroup& group = ctx_.analyzer_page.chassis;
    ctx_.clock.SleepMs(kButtonEnableMs);
    group.run_button_enabled = true;
    ctx_.clock.SleepMs(kButtonEnableMs);
    ctx_.analyzer_page.tcp_messages.Add("[GUI] 載入PXIe/QDX 全型機箱控制執行碼 : 完成");
    group.pattern_loaded = true;
}

int RunControl::LoadFromAnalyzerPage() {
    if (!ctx_.flags.card_present) {
        return 1;
    }
    AnalyzerPageModel::ChassisGroup& group = ctx_.analyzer_page.chassis;
    const std::string name = group.control_code_name;
    const std::string dir = ctx_.settings.pattern_dir + "/";
    StopPeriodicTimers(ctx_.timers);
    ListAndLog("[GUI] 載入執行碼檔名 : " + name);

    if (name.empty()) {
        ctx_.analyzer_page.tcp_messages.Add("[GUI] 載入執行碼 : 異常");
        ctx_.logs.AppendLog("[GUI] 載入執行碼檔名 : 異常");
    } else if (!PatternFileExists(ctx_.settings.pattern_dir, name)) {
        ListAndLog("[GUI] PXIe/QDX 全型機箱控制執行碼 : 不存在");
    } else {
        LoadCheckedFromAnalyzerPage(dir + name);
    }

    ctx_.analyzer_page.tcp_messages.Add(kListSeparator);
    ctx_.logs.AppendLog(kLogSeparator);
    RestartPeriodicTimers(ctx_.timers, ctx_.card != nullptr);
    return 0;
}

}  // namespace vantu
