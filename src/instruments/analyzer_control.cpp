#include "instruments/analyzer_control.h"

#include <algorithm>
#include <filesystem>

#include "base/encoding.h"
#include "instruments/frequency_argument.h"
#include "instruments/printf_text.h"
#include "remote/received_text.h"

namespace vantu {
namespace {

constexpr int kCountdownStart = 26;
constexpr int kCountdownFound = 8;
constexpr int kLaunchTimerMs = 1000;
constexpr int kPlaceTimerMs = 50;
constexpr int kTriggerRefreshMs = 500;
constexpr const char* kNotOpen = "[89600] 軟體 : 尚未開啟";
constexpr const char* kRecallDir = "/Recall Setup/";
constexpr const char* kCloseQuestion =
    "偵測 VSA 向量信號分析儀軟體尚未被關閉， 您要同步關閉信號分析儀軟體 ?             ";

// A trace label as the page shows it: at most 15 characters, control bytes visible.
std::string LabelText(const std::string& label) {
    return ShowControlCharacters(label.substr(0, kMarkerLabelSize - 1));
}

}  // namespace

AnalyzerControl::AnalyzerControl(AnalyzerContext context) : ctx_(std::move(context)) {}

AnalyzerControl::~AnalyzerControl() {
    JoinTriggerThread();
}

const char* AnalyzerControl::Title() const {
    return ctx_.shared.os_64bit ? kAnalyzerTitle64 : kAnalyzerTitle32;
}

bool AnalyzerControl::FindWindow() {
    if (ctx_.windows == nullptr) {
        return ctx_.link.GetInputTrigMod() != kLinkNotOpen;
    }
    return ctx_.windows->Find(Title());
}

void AnalyzerControl::StartAnalyzer() {
    AnalyzerGroup& group = ctx_.group;
    group.open_enabled = false;
    ctx_.messages.Add("[89600] 軟體 : 等待開啟中 ...");
    ctx_.messages.Log("[89600] 軟體 : 等待開啟中 ...");
    if (!FindWindow()) {
        LaunchSoftware();
    } else {
        countdown_ = kCountdownFound;
        if (ctx_.windows != nullptr && ctx_.windows->ClosePopup()) {
            ctx_.windows->Restore();
            ctx_.windows->Raise(true);
            group.open_enabled = true;
            return;
        }
        if (ctx_.windows != nullptr) {
            ctx_.windows->Restore();
            ctx_.windows->Raise(true);
            FitToFrame(group.pin_window);
        }
        ctx_.messages.Report("[89600] 軟體 : 已開啟完成");
        group.open_enabled = true;
        ctx_.shared.vsa_open = true;
    }
    ctx_.messages.Trim();
}

void AnalyzerControl::LaunchSoftware() {
    ctx_.timers.Start(kLaunchTimer, kLaunchTimerMs);
    const std::string program = ctx_.program.empty() ? kDefaultLauncher : ctx_.program;
    launched_by_page_ = true;
    if (!ctx_.launch || !ctx_.launch(program)) {
        ctx_.prompts.Show(PromptIcon::Warning, "無法開啟 [89600 VSA] 軟體應用程式");
        ctx_.timers.Kill(kLaunchTimer);
        ctx_.group.open_enabled = true;
        ctx_.group.open_caption = "開啟";
    }
}

void AnalyzerControl::FitToFrame(bool pinned) {
    AnalyzerWindows& windows = *ctx_.windows;
    windows.SetKeepAbove(pinned);
    if (!pinned) {
        windows.Raise(false);
    }
    windows.MoveResize(windows.FrameRect());
}

void AnalyzerControl::HandleTimer(int id) {
    switch (id) {
        case kLaunchTimer:
            CountDown();
            break;
        case kPlaceTimer:
            ctx_.timers.Kill(kPlaceTimer);
            PlaceAnalyzerWindow(kPlaceRestore);
            break;
        case kTriggerRefreshTimer:
            StartRefresh();
            break;
        default:
            break;
    }
}

void AnalyzerControl::CountDown() {
    AnalyzerGroup& group = ctx_.group;
    --countdown_;
    group.open_caption = PrintfText("%d", countdown_);
    if (countdown_ >= kCountdownFound) {
        return;
    }
    if (PlaceAnalyzerWindow(kPlaceReleased)) {
        ctx_.timers.Kill(kLaunchTimer);
        group.open_enabled = true;
        if (ctx_.link.SetMeasType(0) == kLinkDone) {
            ctx_.messages.Add("[PXIe] 控制 : 單步模式");
            ctx_.messages.Log("[PXIe] 控制 : 單步模式");
        }
        group.open_caption = "開啟";
        ctx_.messages.Report("[89600] 軟體 : 開啟完成");
        countdown_ = kCountdownStart;
    } else if (countdown_ < 1) {
        group.open_enabled = true;
        group.open_caption = "開啟";
        ctx_.timers.Kill(kLaunchTimer);
        countdown_ = kCountdownStart;
    }
}

bool AnalyzerControl::PlaceAnalyzerWindow(int action) {
    if (!FindWindow()) {
        return false;
    }
    ctx_.shared.vsa_open = true;
    if (ctx_.windows == nullptr || action == kPlaceFindOnly) {
        return true;
    }
    AnalyzerWindows& windows = *ctx_.windows;
    const bool pinned = ctx_.group.pin_window;
    switch (action) {
        case kPlaceBehind:
            windows.SetKeepAbove(false);
            windows.Lower();
            break;
        case kPlaceReleased:
            windows.SetKeepAbove(false);
            windows.Lower();
            ctx_.timers.Start(kPlaceTimer, kPlaceTimerMs);
            break;
        case kPlaceShown:
            windows.Restore();
            windows.Raise(true);
            windows.SetKeepAbove(pinned);
            break;
        case kPlaceClose:
            windows.Raise(true);
            windows.RequestClose();
            return true;
        case kPlaceRestore:
            windows.Restore();
            windows.Raise(true);
            windows.SetKeepAbove(false);
            break;
        default:
            break;
    }
    windows.MoveResize(windows.FrameRect());
    return true;
}

int AnalyzerControl::ReportFrequencyResult(int result, std::string_view unit_error, bool span) {
    if (result == kLinkNotOpen) {
        if (span) {
            ctx_.messages.Report("[89600 VSA] 軟體 : 尚未開啟");
        } else {
            ctx_.messages.Add(kNotOpen, true);
            ctx_.messages.Log(kNotOpen);
        }
    } else if (result == kLinkUnitRefused) {
        ctx_.messages.Report(unit_error);
    }
    return result;
}

// A value no instrument can be sent is refused like a unit the software does not take.
int AnalyzerControl::SetMarkerFrequency(std::string_view line, int n) {
    const FrequencyArgument argument = ParseFrequencyArgument(line);
    const int result = IsSendableFrequency(argument.value)
                           ? ctx_.link.SetMarker_Type1(n - 1, 0, argument.value, argument.unit)
                           : kLinkUnitRefused;
    return ReportFrequencyResult(result, "[89600] 軟體 : Marker 單位設定錯誤", false);
}

int AnalyzerControl::SetAllMarkerFrequencies(std::string_view line) {
    const FrequencyArgument argument = ParseFrequencyArgument(line);
    if (!IsSendableFrequency(argument.value)) {
        return ReportFrequencyResult(kLinkUnitRefused, "[89600] 軟體 : Marker 單位設定錯誤", false);
    }
    int result = kLinkDone;
    // The count is asked again before each marker; the marker table bounds the loop. A
    // count the software does not give is a failure, never zero traces.
    for (int trace = 0; trace < static_cast<int>(kMaxMarkers); ++trace) {
        const int count = ctx_.link.GetTraceCount();
        if (count == kTraceCountFailed) {
            result = kLinkNotOpen;
        }
        if (count <= trace) {
            break;
        }
        result = ctx_.link.SetMarker_Type1(trace, 0, argument.value, argument.unit);
        if (result != kLinkDone) {
            break;
        }
    }
    return ReportFrequencyResult(result, "[89600] 軟體 : Marker 單位設定錯誤", false);
}

int AnalyzerControl::SetCenterFrequency(std::string_view line) {
    const FrequencyArgument argument = ParseFrequencyArgument(line);
    const int result = IsSendableFrequency(argument.value)
                           ? ctx_.link.SetFreqCenter(argument.value, argument.unit)
                           : kLinkUnitRefused;
    return ReportFrequencyResult(result, "[89600] 軟體 : Frequency 單位設定錯誤", false);
}

int AnalyzerControl::SetSpan(std::string_view line) {
    const FrequencyArgument argument = ParseFrequencyArgument(line);
    const int result = IsSendableFrequency(argument.value)
                           ? ctx_.link.SetFreqSPan(argument.value, argument.unit)
                           : kLinkUnitRefused;
    return ReportFrequencyResult(result, "[89600 VSA] 軟體 : SPan 單位設定錯誤", true);
}

int AnalyzerControl::RecallSetup(const std::string& name) {
    // Only a plain file of the recall directory: no path can lead out of it.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        return 2;
    }
    const std::string path = ctx_.station_dir + kRecallDir + name;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return 2;
    }
    if (ctx_.link.SetRecall(ToAnsi(AnalyzerRecallPath(path, name))) != kLinkDone) {
        ctx_.messages.Add(kNotOpen, true);
        ctx_.messages.Log(kNotOpen);
        return 1;
    }
    return 0;
}

// The name joins the configured directory with the separator that directory uses.
std::string AnalyzerControl::AnalyzerRecallPath(const std::string& local,
                                                const std::string& name) const {
    const std::string& dir = ctx_.recall_dir;
    if (dir.empty()) {
        return local;
    }
    if (dir.ends_with('/') || dir.ends_with('\\')) {
        return dir + name;
    }
    return dir + (dir.find('\\') != std::string::npos ? "\\" : "/") + name;
}

int AnalyzerControl::ReadMarkers(MarkerArray& markers, int& count) {
    count = ctx_.link.GetTraceCount();
    if (count == kTraceCountFailed) {
        return kLinkNotOpen;
    }
    count = std::clamp(count, 0, static_cast<int>(kMaxMarkers));
    return ctx_.link.GetMeasValue(markers);
}

void AnalyzerControl::ShowMarkers(const MarkerArray& markers, int count, int boxes) {
    AnalyzerGroup& group = ctx_.group;
    for (int i = 0; i < std::min(count, boxes); ++i) {
        const auto box = static_cast<std::size_t>(i);
        group.marker_values[box] = PrintfText("%.3f", markers[box].value);
        group.marker_colours[box] = kMarkerValueColour;
        group.marker_labels[box] = LabelText(markers[box].label);
    }
}

int AnalyzerControl::ReadMeasurement(std::string& text) {
    MarkerArray markers{};
    int count = 0;
    if (ReadMarkers(markers, count) != kLinkDone) {
        return 1;
    }
    ctx_.group.log_file = ShowControlCharacters(ctx_.link.GetLogFile());
    text = "VSA_RD " + ctx_.generator.frequency_text + "GHz ";
    for (int i = 0; i < count; ++i) {
        const marker& record = markers[static_cast<std::size_t>(i)];
        text += PrintfText("%.3f", record.value) + LabelText(record.label) + " ";
    }
    ShowMarkers(markers, count, 4);
    return 0;
}

void AnalyzerControl::SetMeasurementLogging(bool on) {
    ctx_.group.save_log = on;
}

void AnalyzerControl::ChosenLogBox(const std::string& text) {
    if (ctx_.group.phase_compensation) {
        ctx_.group.phase_file = ShowControlCharacters(text);
    } else {
        ctx_.group.log_file = ShowControlCharacters(text);
    }
}

void AnalyzerControl::ClickRead() {
    PageMessages& messages = ctx_.messages;
    messages.Add("[89600] 量測 : 初始化中...");
    messages.Add("[89600] 量測 : 手動讀取量測值");
    messages.Log("[89600] 量測 : 初始化中...");
    messages.Log("[89600] 量測 : 手動讀取量測值");
    ctx_.group.reset_enabled = false;
    MarkerArray markers{};
    int count = 0;
    if (ReadMarkers(markers, count) == kLinkDone) {
        ChosenLogBox(ctx_.link.GetLogFile());
        ShowMarkers(markers, count, kMarkerBoxes);
    } else {
        messages.Report("[89600] 量測 : 讀取量測值異常");
    }
    ctx_.group.reset_enabled = true;
    messages.Trim();
}

void AnalyzerControl::ClickMeasure() {
    PageMessages& messages = ctx_.messages;
    AnalyzerGroup& group = ctx_.group;
    if (!trigger_active_) {
        messages.Add("[89600] 量測 : 初始化中...");
        messages.Log("[89600] 量測 : 初始化中...");
    }
    const int mode = ctx_.link.GetInputTrigMod();
    if (mode == kLinkNotOpen) {
        messages.Add(kNotOpen);
        messages.Add("請重新點選 VSA 設定單元的[ 開啟 ]功能鍵.", true);
        messages.Log(kNotOpen);
        messages.Log("請重新點選 VSA 設定單元的[ 開啟 ]功能鍵.");
        messages.Log(kLogSeparator);
        return;
    }
    if (mode != kTriggerExternal) {
        messages.Add("[89600] 軟體 : 尚未設定外部觸發");
        messages.Add("[89600] 軟體 : 無法讀取量測值");
        messages.Log("[89600] 軟體 : 尚未設定外部觸發");
        messages.Log("[89600] 軟體 : 無法讀取量測值");
        return;
    }
    if (!trigger_active_) {
        group.measure_caption = "停止";
        ChosenLogBox(ctx_.link.GetLogFile());
        ctx_.link.SetTrigMeas(1);
        StartTriggerThread();
        ctx_.timers.Start(kTriggerRefreshTimer, kTriggerRefreshMs);
        messages.Add("[89600] 量測 : 啟用軟體觸發量測功能");
        messages.Log("[89600] 量測 : 啟用軟體觸發量測功能");
        group.reset_enabled = false;
        ctx_.shared.analyzer_flags[kSharedTriggerMeasurement] = true;
    } else {
        ctx_.timers.Kill(kTriggerRefreshTimer);
        ctx_.link.SetTrigMeas(0);
        group.measure_caption = "量測";
        messages.Report("[89600] 量測 : 停用軟體觸發量測功能");
        group.reset_enabled = true;
        ctx_.shared.analyzer_flags[kSharedTriggerMeasurement] = false;
    }
    trigger_active_ = !trigger_active_;
    messages.Trim();
}

void AnalyzerControl::StartTriggerThread() {
    if (trigger_thread_running_) {
        return;
    }
    JoinTriggerThread();
    trigger_thread_running_ = true;
    // The thread only asks the software; everything it changes is done on the GUI
    // thread through the poster.
    trigger_thread_ = std::thread([this] {
        const int result = ctx_.link.GetTrigMeasValue();
        trigger_thread_running_ = false;
        ctx_.poster.Post([this, result] { TriggerThreadDone(result); });
    });
}

void AnalyzerControl::JoinTriggerThread() {
    if (trigger_thread_.joinable()) {
        trigger_thread_.join();
    }
    if (refresh_thread_.joinable()) {
        refresh_thread_.join();
    }
}

// The marker refresh asks the software on a worker, one refresh at a time, so a silent
// software never holds the GUI thread (and the remote commands behind it) tick after tick.
void AnalyzerControl::StartRefresh() {
    if (refresh_running_) {
        return;
    }
    if (refresh_thread_.joinable()) {
        refresh_thread_.join();
    }
    refresh_running_ = true;
    refresh_thread_ = std::thread([this] {
        MarkerArray markers{};
        int count = 0;
        const int result = ReadMarkers(markers, count);
        refresh_running_ = false;
        ctx_.poster.Post([this, result, markers, count] { RefreshDone(result, markers, count); });
    });
}

void AnalyzerControl::RefreshDone(int result, const MarkerArray& markers, int count) {
    if (!trigger_active_) {
        return;
    }
    if (result == kLinkDone) {
        ShowMarkers(markers, count, kMarkerBoxes);
        return;
    }
    // The software stopped answering: the measurement ends at its first time-out. It is
    // not told so, since telling it would be one more wait for a silent software.
    StopTriggerMeasurement(kNotOpen);
}

void AnalyzerControl::TriggerThreadDone(int result) {
    if (!trigger_active_) {
        return;
    }
    if (result == kLinkNotOpen) {
        StopTriggerMeasurement(kNotOpen);
    } else if (result == kNotPulseTriggered) {
        ctx_.link.SetTrigMeas(0);
        StopTriggerMeasurement("[89600] 軟體 : 未設定為外部脈波觸發模式");
        if (ctx_.stop_control_code) {
            ctx_.stop_control_code();
        }
    }
}

void AnalyzerControl::StopTriggerMeasurement(std::string_view reason) {
    PageMessages& messages = ctx_.messages;
    messages.Add(reason);
    messages.Add("[GUI] 軟體 : 停止觸發量測功能", true);
    messages.Log(reason);
    messages.Log("[GUI] 軟體 : 停止觸發量測功能");
    messages.Log(kLogSeparator);
    // The measurement is over: its refresh timer, the reset lock and the shared flag
    // go with it, so the next measure click starts a fresh one.
    trigger_active_ = false;
    ctx_.timers.Kill(kTriggerRefreshTimer);
    ctx_.group.measure_caption = "量測";
    ctx_.group.reset_enabled = true;
    ctx_.shared.analyzer_flags[kSharedTriggerMeasurement] = false;
}

void AnalyzerControl::ClickReset() {
    ctx_.messages.Add("[89600] 軟體 : 等待重置中 ...");
    ctx_.messages.Report(ctx_.link.SetmMeasReset() == kLinkDone ? "[89600] 軟體 : 重置完成"
                                                                : "[89600] 軟體 : 重置異常");
    AnalyzerGroup& group = ctx_.group;
    for (int i = 0; i < kMarkerBoxes; ++i) {
        const auto box = static_cast<std::size_t>(i);
        group.marker_values[box].clear();
        group.marker_colours[box] = kMarkerBlankColour;
        group.marker_labels[box] = PrintfText("MKR - %d", i + 1);
    }
    ctx_.messages.Trim();
}

void AnalyzerControl::SetPinWindow(bool ticked) {
    ctx_.group.pin_window = ticked;
    PlaceAnalyzerWindow(ticked ? kPlaceShown : kPlaceReleased);
}

void AnalyzerControl::SetTriggerMode(bool ticked) {
    ctx_.group.trigger_mode = ticked;
}

void AnalyzerControl::SetSaveLog(bool ticked) {
    ctx_.group.save_log = ticked;
    ctx_.messages.Report(ticked ? "[GUI] 量測 : 設定儲存記錄檔" : "[GUI] 量測 : 設定無儲存");
}

void AnalyzerControl::SetPhaseCompensation(bool ticked) {
    ctx_.group.phase_compensation = ticked;
    ctx_.messages.Report(ticked ? "[GUI] 量測 : Phase 補償值紀錄模式"
                                : "[GUI] 量測 : 正常量測記錄模式");
}

void AnalyzerControl::StopTriggerAtExit() {
    // No countdown or marker refresh may tick into the teardown.
    ctx_.timers.Kill(kLaunchTimer);
    ctx_.timers.Kill(kTriggerRefreshTimer);
    if (ctx_.shared.analyzer_flags[kSharedTriggerMeasurement]) {
        ctx_.link.SetTrigMeas(0);
        ctx_.shared.analyzer_flags[kSharedTriggerMeasurement] = false;
        ctx_.messages.Log("[GUI][Exit] 關閉 觸發量測功能");
        ctx_.messages.Log(kLogSeparator);
        ctx_.clock.SleepMs(500);
    }
    JoinTriggerThread();
}

void AnalyzerControl::OfferCloseAtExit() {
    if (!ctx_.shared.vsa_open || !PlaceAnalyzerWindow(kPlaceFindOnly)) {
        return;
    }
    const bool close = ctx_.prompts.AskYesNo(kCloseQuestion);
    PlaceAnalyzerWindow(close ? kPlaceClose : kPlaceReleased);
    ctx_.timers.Kill(kPlaceTimer);
    ctx_.clock.SleepMs(200);
}

}  // namespace vantu
