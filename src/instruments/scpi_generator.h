// A signal generator on the bench LAN, spoken to in SCPI over a raw TCP socket, behind
// the driver calls of the page. docs/instruments.md lists every command it sends.
#pragma once

#include <string>
#include <vector>

#include "instruments/generator_driver.h"
#include "instruments/generator_errors.h"
#include "instruments/scpi_connection.h"
#include "instruments/scpi_error_queue.h"

namespace vantu {

class ScpiGenerator : public GeneratorDriver {
  public:
    // IVI's "instrument status" (the instrument reported an error), "time-out" and
    // "attribute not supported" codes.
    static constexpr ViStatus kInstrumentError = static_cast<ViStatus>(0xBFFA0001);
    static constexpr ViStatus kTimeout = static_cast<ViStatus>(0xBFFF0015);
    static constexpr ViStatus kNotSupported = static_cast<ViStatus>(0xBFFA000F);
    // The longest wait for the instrument to finish: a reset, the settle wait.
    static constexpr int kSettleTimeoutMs = 30000;

    explicit ScpiGenerator(ScpiEndpoint endpoint) : connection_(std::move(endpoint)) {}

    ViStatus InitWithOptions(const std::string& resource, bool id_query, bool reset,
                             const std::string& options, ViSession& handle) override;
    ViStatus ErrorQuery(ViSession handle, std::int32_t& code, std::string& message) override;
    ViStatus GetAttributeViString(ViSession handle, std::int32_t attribute, std::size_t size,
                                  std::string& value) override;
    ViStatus GetAttributeViBoolean(ViSession handle, std::int32_t attribute, bool& value) override;
    ViStatus GetAttributeViInt32(ViSession handle, std::int32_t attribute,
                                 std::int32_t& value) override;
    ViStatus GetAttributeViReal64(ViSession handle, std::int32_t attribute, double& value) override;
    ViStatus SetAttributeViReal64(ViSession handle, std::int32_t attribute, double value) override;
    ViStatus SetAttributeViBoolean(ViSession handle, std::int32_t attribute, bool value) override;
    ViStatus RFConfigureOutput(ViSession handle, std::int32_t output,
                               std::int32_t pulse_mode) override;
    ViStatus RFIsSettled(ViSession handle, bool& settled) override;
    ViStatus RFWaitUntilSettled(ViSession handle, std::int32_t max_ms, bool& settled) override;
    ViStatus Apply(ViSession handle) override;
    ViStatus GetError(ViSession handle, std::int32_t& code, std::size_t size,
                      std::string& message) override;
    ViStatus Close(ViSession handle) override;

  private:
    ViStatus Setting(const std::string& command);
    // Reads the error queue after command.
    ViStatus ErrorsAfter(const std::string& command);
    ViStatus Reset();
    std::optional<std::string> Ask(const std::string& command);
    ViStatus Silent(const std::string& command);

    ScpiConnection connection_;
    std::string identity_;
    GeneratorErrors errors_;
};

}  // namespace vantu
