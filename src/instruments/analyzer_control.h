// The analyzer group of the signal-analyzer page: starting the analysis software and
// placing its window over the page's frame, the marker, centre and span settings,
// setup recall, measurement reads, and the trigger-driven measurement with its
// worker thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "base/ports.h"
#include "base/shared_settings.h"
#include "instruments/analyzer_link.h"
#include "instruments/analyzer_windows.h"
#include "instruments/page_messages.h"
#include "model/analyzer_page_model.h"

namespace vantu {

// The page's own timers.
inline constexpr int kLaunchTimer = 1;
inline constexpr int kPlaceTimer = 5;
inline constexpr int kTriggerRefreshTimer = 6;

inline constexpr const char* kAnalyzerTitle64 = "Vector - Keysight 89600 VSA Software (64-bit)";
inline constexpr const char* kAnalyzerTitle32 = "Vector - Keysight 89600 VSA Software";
inline constexpr const char* kDefaultLauncher = "OP_89600vsa.sh";

enum PlaceAction {
    kPlaceBehind = 0,
    kPlaceShown = 1,
    kPlaceReleased = 2,
    kPlaceClose = 3,
    kPlaceRestore = 5,
    kPlaceFindOnly = 10
};

struct AnalyzerContext {
    CCVSA8960& link;
    AnalyzerGroup& group;
    const GeneratorGroup& generator;
    PageMessages& messages;
    SharedSettings& shared;
    Timers& timers;
    Poster& poster;
    Clock& clock;
    Prompts& prompts;
    // None without a display: the link answering then stands for the window.
    AnalyzerWindows* windows;
    std::string station_dir;
    // The profile's "89600VSA_filePath"; empty for the station's launcher.
    std::string program;
    // Starts the program; true when it started.
    std::function<bool(const std::string& program)> launch;
    // The page's stop button: stops the chassis control code.
    std::function<void()> stop_control_code;
    // setup.ini [VSA] RECALL_DIR: the recall directory as the software sees it (an
    // analyzer on the LAN cannot see the station's); empty for the station's own.
    std::string recall_dir;
};

class AnalyzerControl {
  public:
    explicit AnalyzerControl(AnalyzerContext context);
    ~AnalyzerControl();
    AnalyzerControl(const AnalyzerControl&) = delete;
    AnalyzerControl& operator=(const AnalyzerControl&) = delete;

    void StartAnalyzer();
    void HandleTimer(int id);
    bool PlaceAnalyzerWindow(int action);

    // 0 done, 2 no such setup file, 1 the software refused it.
    int RecallSetup(const std::string& name);
    // 0 done, 1 software not open, 2 unit refused.
    int SetMarkerFrequency(std::string_view line, int n);
    int SetAllMarkerFrequencies(std::string_view line);
    int SetCenterFrequency(std::string_view line);
    int SetSpan(std::string_view line);
    // 0 and the VSA_RD line, or 1.
    int ReadMeasurement(std::string& text);
    void SetMeasurementLogging(bool on);

    void ClickRead();
    void ClickMeasure();
    void ClickReset();
    void SetPinWindow(bool ticked);
    void SetTriggerMode(bool ticked);
    void SetSaveLog(bool ticked);
    void SetPhaseCompensation(bool ticked);

    // Shutdown steps: the trigger measurement stopped, then the question whether the
    // software is to be closed as well.
    void StopTriggerAtExit();
    void OfferCloseAtExit();

    // The window arrangement, once the page's frame exists; none without a display.
    void set_windows(AnalyzerWindows* windows) { ctx_.windows = windows; }

    bool trigger_active() const { return trigger_active_; }
    int countdown() const { return countdown_; }
    // Waits for a trigger thread or marker refresh that is still asking the software.
    void JoinTriggerThread();

  private:
    const char* Title() const;
    bool FindWindow();
    bool HasPopupClosed();
    void FitToFrame(bool pinned);
    void LaunchSoftware();
    void CountDown();
    int ReportFrequencyResult(int result, std::string_view unit_error, bool span);
    int ReadMarkers(MarkerArray& markers, int& count);
    std::string AnalyzerRecallPath(const std::string& local, const std::string& name) const;
    void ShowMarkers(const MarkerArray& markers, int count, int boxes);
    void ChosenLogBox(const std::string& text);
    void StartTriggerThread();
    void TriggerThreadDone(int result);
    void StartRefresh();
    void RefreshDone(int result, const MarkerArray& markers, int count);
    void StopTriggerMeasurement(std::string_view reason);

    AnalyzerContext ctx_;
    int countdown_ = 26;
    bool launched_by_page_ = false;
    bool trigger_active_ = false;
    std::atomic<bool> trigger_thread_running_{false};
    std::thread trigger_thread_;
    // The marker refresh of the trigger measurement, one at a time.
    std::atomic<bool> refresh_running_{false};
    std::thread refresh_thread_;
};

}  // namespace vantu
