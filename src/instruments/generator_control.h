// The generator group of the signal-analyzer page: open and close through the
// driver, RF on and off with the frequency, power and pulse mode of the boxes, the
// settings read back, and the driver's error reports.
#pragma once

#include <ostream>
#include <string_view>

#include "base/shared_settings.h"
#include "instruments/generator_driver.h"
#include "instruments/page_messages.h"
#include "model/analyzer_page_model.h"

namespace vantu {

struct GeneratorContext {
    GeneratorDriver& driver;
    GeneratorGroup& group;
    PageMessages& messages;
    SharedSettings& shared;
    // Driver errors are also written here, as diagnostics.
    std::ostream& console;
};

class GeneratorControl {
  public:
    explicit GeneratorControl(const GeneratorContext& context) : ctx_(context) {}

    int InitGenerator();
    // Mode 1 toggles like the open button, mode 0 always closes. 0 when done.
    int OpenCloseGenerator(int mode);
    // Mode 1 toggles like the RF button, mode 0 switches off. 1 when the generator is
    // closed or a box holds a refused value, else the driver's apply status.
    int SwitchRfOutput(int mode);
    void ReadGeneratorSettings();
    void ReportDriverError(std::string_view label, ViStatus status);
    // The page's part of the station shutdown: RF off (through a new connection when
    // the generator was closed with RF on), then the generator closed.
    void Shutdown();

    bool is_open() const { return open_; }
    bool rf_on() const { return rf_; }
    double last_frequency() const { return last_frequency_; }

  private:
    void Close(int& result, std::string& caption);
    void Open(int& result, std::string& caption);
    int SwitchOn();
    void SwitchOff();
    void SwitchOffAtExit();
    void DrainErrorQueue();
    void ListRevision(std::string_view label, std::int32_t attribute);

    GeneratorContext ctx_;
    ViSession handle_ = 0;
    bool open_ = false;
    bool rf_ = false;
    double last_frequency_ = 0.0;
};

}  // namespace vantu
