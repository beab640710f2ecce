// CVANTUDlg: the one long-lived object of the station. It owns the card handle, the
// page models, the timers' meaning and the controller command message; everything
// runs on the GUI thread, delivered one event at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "app/antenna_status_page_lifecycle.h"
#include "app/firmware_page_lifecycle.h"
#include "app/main_page_lifecycle.h"
#include "app/module_status_page_lifecycle.h"
#include "app/station_texts.h"
#include "base/busy_gate.h"
#include "base/gated_prompts.h"
#include "base/log_files.h"
#include "base/ports.h"
#include "base/settings.h"
#include "base/shared_settings.h"
#include "card/card_handle.h"
#include "controller/command_sink.h"
#include "controller/controller_flags.h"
#include "controller/controller_timers.h"
#include "controller/page_lifecycle.h"
#include "model/analyzer_page_model.h"
#include "model/main_page_model.h"
#include "pattern/chassis_controls.h"
#include "pattern/opcode_table.h"
#include "pattern/pattern_loader.h"
#include "pattern/run_control.h"
#include "remote/elapsed_timer.h"
#include "remote/remote_control.h"
#include "remote/remote_transport.h"
#include "status/main_page_refresh.h"
#include "status/module_table.h"
#include "status/report_capture.h"
#include "status/report_memory.h"
#include "status/report_watch.h"
#include "status/status_decoder.h"

namespace vantu {

struct ControllerPorts {
    Prompts& prompts;
    Timers& timers;
    Clock& clock;
    Poster& poster;
    MainWindow& window;
    RemoteTransport& remote;
};

// Opens the control card; 0 and a handle when the card is ready.
using CardOpener = std::function<std::uint32_t(CardHandle&)>;

class CVANTUDlg : public CommandSink, public ElapsedTimer {
  public:
    // shared: the application's settings block, which outlives the controller.
    CVANTUDlg(ControllerPorts ports, std::string station_dir, SharedSettings& shared,
              CardOpener open_card);
    ~CVANTUDlg() override;
    CVANTUDlg(const CVANTUDlg&) = delete;
    CVANTUDlg& operator=(const CVANTUDlg&) = delete;

    void StartController();
    // The tab control's change notification: without a card only the main page shows.
    void SelectTab(int tab);
    void ApplyTabSelection(int tab);
    void HandleTimerTick(int id);
    int HandleControllerCommand(int code, std::intptr_t argument);
    // Also ends a start-up that is waiting in a message box: it stops after the box.
    void ShutdownController();

    // Pages join the tab selections, their timer's ticks and the shutdown in the
    // order they register; the page must outlive the controller's last call.
    void RegisterPage(PageLifecycle& page);

    void MarkElapsedStart() override;
    double ElapsedMicroseconds() override;

    int Send(int code, std::intptr_t argument) override;
    void Post(int code, std::intptr_t argument) override;

    LogFiles& log() { return log_; }
    // The operator's message boxes for the pages: they wait with the station busy.
    Prompts& prompts() { return prompts_; }
    SharedSettings& shared() { return shared_; }
    const StationSettings& station_settings() const { return station_; }
    ControllerFlags& flags() { return flags_; }
    MainPageModel& main_page() { return main_page_; }
    AnalyzerPageModel& analyzer_page() { return analyzer_page_; }
    ModuleStatusPage& trm_page() { return trm_page_; }
    ModuleStatusPage& qdxa_page() { return qdxa_page_; }
    AntennaStatusPage& antenna_page() { return antenna_page_; }
    CardHandle card() const { return card_; }
    int current_tab() const { return current_tab_; }
    ReportMemory& report() { return report_; }
    const PollCounters& poll_counters() const { return poll_counters_; }
    ReportWatch& report_watch() { return report_watch_; }
    const ModuleTable& modules() const { return modules_; }
    StatusDecoder& decoder() { return decoder_; }
    const MainPageRefresh& main_refresh() const { return main_refresh_; }
    OpCodeTable& opcode_table() { return opcode_table_; }
    RunControl& run_control() { return run_control_; }
    ChassisControls& chassis_controls() { return chassis_controls_; }
    RemoteControl& remote() { return remote_; }
    FirmwarePageLifecycle& firmware() { return firmware_; }

    // The main page's "儲存 SP RCC 回報值".
    void SaveReports();

    // The main page view the refresh paints on; none when headless.
    void set_main_page_surface(MainPageSurface* surface) { main_surface_ = surface; }
    // Called after start-up and after every command, so views can redraw their models.
    void set_on_state_changed(std::function<void()> handler) {
        on_state_changed_ = std::move(handler);
    }

  private:
    void LogStartFacts();
    void OpenCardAtStart();
    int DispatchControllerCommand(int code, std::intptr_t argument);
    int HandleMainPageCommand(std::intptr_t argument);
    void StateChanged();
    void RequestClose();
    void TickPage(PageLifecycle& page);
    // Tells the shown page that a readable report has come in whole.
    void ReportCompleted();
    PageLifecycle* PageWithTimer(int id) const;

    ControllerPorts ports_;
    // Commands, remote events and prompts run one at a time; every part of the station
    // asks the operator through prompts_, which holds the gate.
    BusyGate gate_{ports_.poster};
    GatedPrompts prompts_{ports_.prompts, gate_};
    LogFiles log_;
    CardOpener open_card_;

    SharedSettings& shared_;
    StationSettings station_;
    ControllerFlags flags_;
    MainPageModel main_page_;
    AnalyzerPageModel analyzer_page_;

    CardHandle card_ = nullptr;
    int current_tab_ = kTabMain;
    std::int64_t elapsed_start_ns_ = 0;

    ReportMemory report_;
    std::uint32_t report_block_ = 0;
    PollCounters poll_counters_;
    ReportWatch report_watch_{report_, ports_.clock, &log_};
    ModuleTable modules_;
    StatusDecoder decoder_{modules_, report_, shared_};

    MainPageRefresh main_refresh_{decoder_, report_, shared_};
    MainPageSurface* main_surface_ = nullptr;

    MainPageLifecycle main_lifecycle_{
        {main_refresh_, main_surface_, report_, report_watch_, trm_page_, qdxa_page_}};

    ModuleStatusPage trm_page_{ModulePageKind::kTrm, *this, prompts_};
    ModuleStatusPage qdxa_page_{ModulePageKind::kQdxa, *this, prompts_};
    AntennaStatusPage antenna_page_;
    ModulePageLifecycle trm_lifecycle_{trm_page_, kTabTrm, report_watch_};
    ModulePageLifecycle qdxa_lifecycle_{qdxa_page_, kTabQdxa, report_watch_};
    AntennaPageLifecycle antenna_lifecycle_{antenna_page_, report_, report_watch_};
    std::vector<PageLifecycle*> pages_;
    bool pages_selected_ = false;
    std::function<void()> on_state_changed_;

    OpCodeTable opcode_table_;
    PatternLoader loader_{opcode_table_, log_, prompts_, main_page_};
    RunControl run_control_;
    ChassisControls chassis_controls_;
    RemoteControl remote_;
    FirmwarePageLifecycle firmware_{
        FirmwarePageLifecycleContext{flags_, prompts_, ports_.clock, ports_.poster, report_,
                                     station_, [this] { StateChanged(); }, std::cerr}};
};

}  // namespace vantu
