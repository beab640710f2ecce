// The analysis software of a simulated station: centre, span, one marker per trace
// on a simulated spectrum (a carrier at the centre over a noise floor), recall of
// setup files, external-trigger mode and the measurement log file. vantu-vsa-sim
// shows it in a window and serves it over its local socket; the tests use it as is.
#pragma once

#include <array>
#include <mutex>
#include <string>

#include "instruments/analyzer_link.h"

namespace vantu {

class SimulatedAnalyzer : public CCVSA8960 {
  public:
    static constexpr int kMaxTraces = 16;

    // log_dir: where the measurement log file is written.
    explicit SimulatedAnalyzer(std::string log_dir);

    int SetMarker_Type1(int trace, int type, double value, const std::string& unit) override;
    int SetFreqCenter(double value, const std::string& unit) override;
    int SetFreqSPan(double value, const std::string& unit) override;
    int SetRecall(const std::string& path) override;
    int GetTraceCount() override;
    int GetMeasValue(MarkerArray& markers) override;
    std::string GetLogFile() override;
    int GetInputTrigMod() override;
    void SetTrigMeas(int on) override;
    int GetTrigMeasValue() override;
    int SetMeasType(int type) override;
    int SetmMeasReset() override;

    void set_trace_count(int count);
    void set_external_trigger(bool external);
    // The external trigger is a pulse the measurement can follow.
    void set_pulse_trigger(bool pulse);
    // The carrier the spectrum shows, in Hz and dBm.
    void set_carrier(double hz, double dbm);

    struct View {
        double center_hz;
        double span_hz;
        int traces;
        std::array<double, kMaxTraces> marker_hz;
        bool external_trigger;
        bool pulse_trigger;
        bool trigger_measuring;
        double carrier_hz;
        double carrier_dbm;
    };
    View view() const;
    // The spectrum's level at a frequency, in dBm.
    static double Level(const View& view, double hz);

  private:
    void LogMeasurement(const MarkerArray& markers, int count);
    void ApplySetupLine(const std::string& line);

    mutable std::mutex mutex_;
    std::string log_dir_;
    View view_;
};

}  // namespace vantu
