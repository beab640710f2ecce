#include "app/controller.h"

#include <utility>

#include "app/architecture.h"

namespace vantu {

CVANTUDlg::CVANTUDlg(ControllerPorts ports, std::string station_dir, SharedSettings& shared,
                     CardOpener open_card)
    : ports_(ports),
      log_(std::move(station_dir), ports.clock),
      open_card_(std::move(open_card)),
      shared_(shared) {}

CVANTUDlg::~CVANTUDlg() {
    flags_.closing = true;
}

void CVANTUDlg::StartController() {
    log_.OpenLog();
    LogStartFacts();

    current_tab_ = kTabMain;
    ApplyTabSelection(kTabMain);

    if (LoadSettings(log_.station_dir(), ports_.prompts, shared_, station_) != 0) {
        log_.AppendLog("[GUI] 無法開啟 setup.ini 設定檔");
    } else {
        shared_.settings_loaded = true;
    }
    main_page_.pattern_list = station_.pattern_list;
    main_page_.pattern_selection = main_page_.pattern_list.empty() ? -1 : 0;
    main_page_.ref_line_colour = shared_.ref_line_colour;

    OpenCardAtStart();
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
        ports_.prompts.Show(PromptIcon::Error, std::string(kCardOpenFailure));
        flags_.card_present = false;
        log_.AppendLog("[GUI] PXIe 控制卡開啟 : 異常");
        analyzer_page_.tcp_messages.Add("[GUI] PXIe 控制卡開啟 : 異常");
        return;
    }
    log_.AppendLog("[GUI] PXIe 控制卡開啟 : 正常");
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
    if (tab == kTabMain) {
        ports_.timers.Start(kMainRefreshTimer, 1500);
    } else {
        ports_.timers.Kill(kMainRefreshTimer);
    }
    if (tab == kTabAntenna) {
        ports_.timers.Start(kAntennaTimer, 1000);
    } else {
        ports_.timers.Kill(kAntennaTimer);
    }
    if (tab == kTabFirmware) {
        ports_.timers.Start(kFirmwareTimer, 1000);
    } else {
        ports_.timers.Kill(kFirmwareTimer);
    }
}

void CVANTUDlg::HandleTimerTick(int id) {
    if (flags_.opcode_access) {
        log_.AppendLog("[TCP] Mem R/W : TCP_Query");
        return;
    }
    if (flags_.closing) {
        return;
    }
    switch (id) {
        case kReportPollTimer:
            TickReportPoll();
            break;
        case kMainRefreshTimer:
            TickMainRefresh();
            break;
        case kAntennaTimer:
        case kFirmwareTimer:
            TickPageTimer(id, 5000);
            break;
        default:
            break;
    }
}

void CVANTUDlg::TickReportPoll() {
    ports_.timers.Kill(kReportPollTimer);
    if (flags_.load_stop) {
        return;
    }
    ports_.timers.Start(kReportPollTimer, 200);
}

void CVANTUDlg::TickMainRefresh() {
    ports_.timers.Kill(kMainRefreshTimer);
    ports_.timers.Start(kMainRefreshTimer, 5500);
}

void CVANTUDlg::TickPageTimer(int id, int period_ms) {
    ports_.timers.Kill(id);
    ports_.timers.Start(id, period_ms);
}

int CVANTUDlg::HandleControllerCommand(int code, std::intptr_t argument) {
    if (code != 2) {
        return 0;
    }
    switch (argument) {
        case 0:
            RequestClose();
            break;
        case 2:
            ports_.timers.Kill(kMainRefreshTimer);
            ports_.timers.Start(kMainRefreshTimer, 2000);
            break;
        case 10:
            return SaveSettings(log_.station_dir(), kSaveRefLineColour, shared_, ports_.prompts);
        case 11:
            return SaveSettings(log_.station_dir(), kSaveTempColours, shared_, ports_.prompts);
        case 12:
            ports_.window.Minimise();
            break;
        default:
            break;
    }
    return 0;
}

void CVANTUDlg::RequestClose() {
    if (!ports_.prompts.AskYesNo(std::string(kCloseQuestion))) {
        return;
    }
    log_.AppendLog("關閉 VANTU GUI程式");
    log_.AppendLog(kLogSeparator);
    ports_.poster.Post([this] { ports_.window.RequestClose(); });
}

void CVANTUDlg::ShutdownController() {
    for (int id : {kReportPollTimer, kMainRefreshTimer, kAntennaTimer, kFirmwareTimer}) {
        ports_.timers.Kill(id);
    }
}

void CVANTUDlg::MarkElapsedStart() {
    elapsed_start_us_ = ports_.clock.Microseconds();
}

double CVANTUDlg::ElapsedMicroseconds() {
    return static_cast<double>(ports_.clock.Microseconds() - elapsed_start_us_);
}

int CVANTUDlg::Send(int code, std::intptr_t argument) {
    return HandleControllerCommand(code, argument);
}

void CVANTUDlg::Post(int code, std::intptr_t argument) {
    ports_.poster.Post([this, code, argument] { HandleControllerCommand(code, argument); });
}

}  // namespace vantu
