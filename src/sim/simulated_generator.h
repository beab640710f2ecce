// The generator of a simulated station: an attribute store that checks its ranges,
// an error queue, and an output that settles a fixed time after every change.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>

#include "base/ports.h"
#include "instruments/generator_driver.h"
#include "instruments/generator_errors.h"

namespace vantu {

class SimulatedGenerator : public GeneratorDriver {
  public:
    static constexpr int kSettleMs = 20;
    static constexpr double kMaxFrequencyHz = 6e9;
    static constexpr double kMinFrequencyHz = 1e6;
    static constexpr double kMaxPowerDbm = 20.0;
    static constexpr double kMinPowerDbm = -130.0;
    // IVI's "invalid value" and "invalid session" codes.
    static constexpr ViStatus kInvalidValue = static_cast<ViStatus>(0xBFFA0010);
    static constexpr ViStatus kInvalidSession = static_cast<ViStatus>(0xBFFF000E);

    explicit SimulatedGenerator(Clock& clock);

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

    bool is_open() const { return open_; }
    // The value an attribute holds now (0 / false when never set).
    double Real(std::int32_t attribute) const;
    bool Boolean(std::int32_t attribute) const;
    std::int32_t Int(std::int32_t attribute) const;
    int apply_count() const { return apply_count_; }

  private:
    using Value = std::variant<bool, std::int32_t, double, std::string>;

    ViStatus Fail(ViStatus code, std::string message);
    bool Valid(ViSession handle);
    void Changed();

    Clock& clock_;
    bool open_ = false;
    ViSession session_ = 0;
    std::map<std::int32_t, Value> attributes_;
    GeneratorErrors errors_;
    std::int64_t settled_at_us_ = 0;
    int apply_count_ = 0;
};

}  // namespace vantu
