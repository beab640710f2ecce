#include "app/controller.h"

#include <iostream>
#include <utility>

#include "app/architecture.h"
#include "controller/controller_commands.h"
#include "status/module_requests.h"
#include "status/report_capture.h"

namespace vantu {

CVANTUDlg::CVANTUDlg(ControllerPorts ports, std::string station_dir, SharedSettings& shared,
                     CardOpener open_card)
    : ports_(ports),
      log_(std::move(station_dir), ports.clock),
      open_card_(std::move(open_card)),
      shared_(shared),
      run_control_(RunControlContext{card_, flags_, ports_.timers, ports_.clock, prompts_, log_,
                                     main_page_, analyzer_page_, station_, loader_,
                                     report_.area()}),
      chassis_controls_(analyzer_page_, *this, ports_.timers, prompts_, log_),
      remote_(RemoteContext{ports_.remote, gate_, *this, log_, flags_, ports_.timers, ports_.clock,
                            card_, station_, loader_, opcode_table_, run_control_, main_page_,
                            analyzer_page_}) {
    decoder_.set_latches(&report_watch_.history());
    for (ModuleStatusPage* page : {&trm_page_, &qdxa_page_}) {
        page->set_report_stale([this] { return report_watch_.stale(); });
    }
    RegisterPage(main_lifecycle_);
    RegisterPage(trm_lifecycle_);
    RegisterPage(qdxa_lifecycle_);
    RegisterPage(antenna_lifecycle_);
    RegisterPage(firmware_);
}

void CVANTUDlg::RegisterPage(PageLifecycle& page) {
    pages_.push_back(&page);
}

CVANTUDlg::~CVANTUDlg() {
    flags_.closing = true;
}

void CVANTUDlg::StartController() {
    log_.OpenLog();
    LogStartFacts();

    current_tab_ = kTabMain;
    ApplyTabSelection(kTabMain);

    const int settings_failed = LoadSettings(log_.station_dir(), prompts_, shared_, station_);
    // A termination signal answered during a warning box has shut the station down.
    if (flags_.closing) {
        return;
    }
    if (settings_failed != 0) {
        log_.AppendLog("[GUI] 無法開啟 setup.ini 設定檔");
    } else {
        shared_.settings_loaded = true;
    }
    main_page_.pattern_list = station_.pattern_list;
    main_page_.pattern_selection = main_page_.pattern_list.empty() ? -1 : 0;
    main_page_.ref_line_colour = shared_.ref_line_colour;

    OpenCardAtStart();
    if (!flags_.closing) {
        StateChanged();
    }
}

void CVANTUDlg::StateChanged() {
    if (on_state_changed_) {
        on_state_changed_();
    }
}

void CVANTUDlg::LogStartFacts() {
    log_.AppendLog(kLogSeparator);
    log_.AppendLog("[GUI] VANTU 軟體版本 : " + std::string(kSoftwareVersion));
    switch (NativeProcessorArchitecture()) {
        case kArchitectureAmd64:
            shared_.os_64bit = true;
            log_.AppendLog("[GUI] 作業系統 : x64");
            break;
        case kArchitectureX86:
            shared_.os_64bit = false;
            log_.AppendLog("[GUI] 作業系統 : x86");
            break;
        case kArchitectureOther:
            break;
    }
}

void CVANTUDlg::OpenCardAtStart() {
    flags_.card_present = true;
    card_ = nullptr;
    if (open_card_(card_) != 0) {
        card_ = nullptr;
        prompts_.Show(PromptIcon::Error, std::string(kCardOpenFailure));
        flags_.card_present = false;
        if (flags_.closing) {
            return;
        }
        log_.AppendLog("[GUI] PXIe 控制卡開啟 : 異常");
        analyzer_page_.tcp_messages.Add("[GUI] PXIe 控制卡開啟 : 異常");
        return;
    }
    log_.AppendLog("[GUI] PXIe 控制卡開啟 : 正常");
    remote_.OpenServer();
    report_.Zero();
    BuildModuleTable(modules_);
    ports_.timers.Start(kReportPollTimer, 1000);
}

void CVANTUDlg::SelectTab(int tab) {
    if (tab < 0 || tab >= kTabCount) {
        return;
    }
    if (!flags_.card_present) {
        current_tab_ = kTabMain;
        ports_.window.ShowPage(kTabMain);
        return;
    }
    current_tab_ = tab;
    ApplyTabSelection(tab);
}

void CVANTUDlg::ApplyTabSelection(int tab) {
    ports_.window.ShowPage(tab);
    const bool first = !pages_selected_;
    pages_selected_ = true;
    for (PageLifecycle* page : pages_) {
        if (first) {
            page->FirstSelection();
        }
        const PageTimer timer = page->timer();
        if (page->tab() == tab) {
            page->Shown();
            if (timer.id >= 0) {
                ports_.timers.Start(timer.id, timer.first_ms);
            }
        } else {
            page->Hidden();
            if (timer.id >= 0) {
                ports_.timers.Kill(timer.id);
            }
        }
    }
}

void CVANTUDlg::HandleTimerTick(int id) {
    // The analyzer page's own timer: not one of the controller's.
    if (id == kContinuousRunTimer) {
        if (!flags_.closing) {
            chassis_controls_.HandleContinuousTick();
        }
        return;
    }
    if (flags_.opcode_access) {
        log_.AppendLog("[TCP] Mem R/W : TCP_Query");
        return;
    }
    if (flags_.closing) {
        return;
    }
    if (id == kReportPollTimer) {
        const ReportPoll poll =
            FastReportRefresh(card_, report_, report_block_, flags_, ports_.timers, log_);
        poll_counters_.Count(poll, ports_.clock.Microseconds());
        const bool cycle_done = report_block_ == 0;
        report_watch_.Polled(poll, cycle_done);
        if (poll != ReportPoll::kNone && cycle_done && !report_watch_.stale()) {
            ReportCompleted();
        }
        return;
    }
    if (PageLifecycle* page = PageWithTimer(id)) {
        TickPage(*page);
    }
}

void CVANTUDlg::ReportCompleted() {
    for (PageLifecycle* page : pages_) {
        if (page->tab() == current_tab_) {
            page->ReportCompleted();
        }
    }
}

PageLifecycle* CVANTUDlg::PageWithTimer(int id) const {
    for (PageLifecycle* page : pages_) {
        if (page->timer().id == id) {
            return page;
        }
    }
    return nullptr;
}

void CVANTUDlg::TickPage(PageLifecycle& page) {
    const PageTimer timer = page.timer();
    ports_.timers.Kill(timer.id);
    page.Tick();
    StateChanged();
    ports_.timers.Start(timer.id, timer.period_ms);
}

int CVANTUDlg::HandleControllerCommand(int code, std::intptr_t argument) {
    BusyGate::Hold hold(gate_);
    const int result = DispatchControllerCommand(code, argument);
    StateChanged();
    return result;
}

int CVANTUDlg::DispatchControllerCommand(int code, std::intptr_t argument) {
    switch (code) {
        case kCodeRunControl:
            return HandleMainPageCommand(argument);
        case kCodeFirmware:
            return argument == kArgReadFirmware ? firmware_.ReadFirmwareVersions() : 0;
        case kCodeAnalyzerLoad:
            return argument == kArgAnalyzerLoad ? run_control_.LoadFromAnalyzerPage() : 0;
        case kCodeModuleRequest:
            if (!report_watch_.stale()) {
                ApplyModuleViewRequest(decoder_,
                                       *reinterpret_cast<const ModuleViewRequest*>(argument));
            }
            return 0;
        case kCodeClearModule:
            ClearModuleReports(report_, modules_, static_cast<int>(argument));
            return 0;
        default:
            return 0;
    }
}

int CVANTUDlg::HandleMainPageCommand(std::intptr_t argument) {
    switch (argument) {
        case kArgClose:
            RequestClose();
            break;
        case kArgRefresh:
            ports_.timers.Kill(kMainRefreshTimer);
            ports_.timers.Start(kMainRefreshTimer, 2000);
            break;
        case kArgLoadFromMainPage:
            return run_control_.LoadFromMainPage();
        case kArgEnableControl:
            return run_control_.EnableControl();
        case kArgStopControl:
            return run_control_.StopControl();
        case kArgResetReportStates:
            return run_control_.ResetReportStates();
        case kArgResetControlCode:
            return run_control_.ResetControlCode();
        case kArgSaveRefLineColour:
            return SaveSettings(log_.station_dir(), kSaveRefLineColour, shared_, prompts_);
        case kArgSaveTempColours:
            return SaveSettings(log_.station_dir(), kSaveTempColours, shared_, prompts_);
        case kArgMinimise:
            ports_.window.Minimise();
            break;
        default:
            break;
    }
    return 0;
}

void CVANTUDlg::RequestClose() {
    if (!prompts_.AskYesNo(std::string(kCloseQuestion))) {
        return;
    }
    log_.AppendLog("關閉 VANTU GUI程式");
    log_.AppendLog(kLogSeparator);
    ports_.poster.Post([this] { ports_.window.RequestClose(); });
}

void CVANTUDlg::ShutdownController() {
    // From here on ticks do nothing, and a start-up still in progress stops.
    flags_.closing = true;
    ports_.timers.Kill(kReportPollTimer);
    for (PageLifecycle* page : pages_) {
        if (page->timer().id >= 0) {
            ports_.timers.Kill(page->timer().id);
        }
    }
    ports_.timers.Kill(kContinuousRunTimer);
    for (PageLifecycle* page : pages_) {
        page->Shutdown();
    }
    FreeModuleTable(modules_);
    remote_.CloseServer();
    gate_.DropWaiting();
}

void CVANTUDlg::SaveReports() {
    SaveReportRegisters(card_, report_, ports_.timers, prompts_, log_, std::cerr);
}

void CVANTUDlg::MarkElapsedStart() {
    elapsed_start_ns_ = ports_.clock.Nanoseconds();
}

double CVANTUDlg::ElapsedMicroseconds() {
    return static_cast<double>(ports_.clock.Nanoseconds() - elapsed_start_ns_) / 1000.0;
}

int CVANTUDlg::Send(int code, std::intptr_t argument) {
    return HandleControllerCommand(code, argument);
}

void CVANTUDlg::Post(int code, std::intptr_t argument) {
    // Posted work may be delivered inside a prompt's event loop: it waits its turn.
    ports_.poster.Post([this, code, argument] {
        gate_.Run([this, code, argument] { HandleControllerCommand(code, argument); });
    });
}

}  // namespace vantu
