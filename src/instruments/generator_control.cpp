#include "instruments/generator_control.h"

#include <cmath>

#include "instruments/decimal_text.h"
#include "instruments/printf_text.h"
#include "remote/received_text.h"

namespace vantu {
namespace {

constexpr std::size_t kStringAttributeSize = 127;
constexpr std::size_t kErrorMessageSize = 255;
constexpr double kMaxFrequencyHz = 6e9;
constexpr double kMaxPowerDbm = 20.0;
constexpr double kMinPowerDbm = -130.0;
constexpr std::int32_t kSettleWaitMs = 30000;
constexpr const char* kMayStillRadiate = "[GUI][Exit] 關閉 VSG 輻射功能 : 異常, VSG 可能仍在輻射";

// " Not Pulsed" 2, " Rising Edge" 1, " Falling Edge" 0; no selection 0.
std::int32_t PulseMode(int selection) {
    switch (selection) {
        case 0:
            return 2;
        case 1:
            return 1;
        default:
            return 0;
    }
}

}  // namespace

void GeneratorControl::ReportDriverError(std::string_view label, ViStatus status) {
    if (status == kViSuccess) {
        return;
    }
    std::int32_t code = 0;
    std::string message;
    ctx_.driver.GetError(handle_, code, kErrorMessageSize, message);
    message = ShowControlCharacters(message);
    const std::string name(label);
    ctx_.console << PrintfText("** %s() Error: %d, %s", name.c_str(), code, message.c_str())
                 << '\n';
    ctx_.messages.Add("**  " + name + PrintfText("  Error : %d  ", code) + message);
}

int GeneratorControl::InitGenerator() {
    const ViStatus status =
        ctx_.driver.InitWithOptions(kGeneratorResource, true, true, kGeneratorOptions, handle_);
    ReportDriverError("InitWithOptions", status);
    if (status != kViSuccess) {
        open_ = false;
        ctx_.messages.Report("[VSG]- 開啟異常");
        return 1;
    }
    ctx_.messages.Add("[VSG]- AgM938x driver initialized");
    ctx_.messages.Log("[VSG]- AgM938x driver initialized");
    DrainErrorQueue();
    ListRevision("DRIVER_REVISION", kAttrDriverRevision);
    ListRevision("FIRMWARE_REVISION", kAttrFirmwareRevision);
    bool simulate = false;
    ReportDriverError("SIMULATE",
                      ctx_.driver.GetAttributeViBoolean(handle_, kAttrSimulate, simulate));
    ctx_.messages.Add(PrintfText("[VSG]- SIMULATE : %s", simulate ? "True" : "False"));
    ctx_.messages.Report("[VSG]- 初始化完成");
    return 0;
}

void GeneratorControl::DrainErrorQueue() {
    // Bounded: an instrument that never reports an empty queue cannot hold the page.
    constexpr int kMaxEntries = 64;
    for (int entry = 0; entry < kMaxEntries; ++entry) {
        std::int32_t code = 0;
        std::string message;
        ctx_.driver.ErrorQuery(handle_, code, message);
        if (code == 0) {
            return;
        }
        ctx_.messages.Add(PrintfText("0x%x, ", static_cast<unsigned>(code)) +
                          ShowControlCharacters(message));
    }
}

void GeneratorControl::ListRevision(std::string_view label, std::int32_t attribute) {
    std::string text;
    ReportDriverError(
        label, ctx_.driver.GetAttributeViString(handle_, attribute, kStringAttributeSize, text));
    ctx_.messages.Add("[VSG]- " + std::string(label) + " : " + ShowControlCharacters(text));
}

int GeneratorControl::OpenCloseGenerator(int mode) {
    // Nothing to close: the handle is not open, and a close through it would fail and
    // leave the page believing the generator open.
    if (mode == 0 && !open_) {
        return 1;
    }
    GeneratorGroup& group = ctx_.group;
    group.open_enabled = false;
    int result = 0;
    std::string caption;
    if (open_) {
        Close(result, caption);
    } else {
        Open(result, caption);
    }
    group.open_caption = caption;
    open_ = !open_;
    group.open_enabled = true;
    ctx_.messages.Trim();
    return result;
}

void GeneratorControl::Close(int& result, std::string& caption) {
    caption = "開啟";
    if (ctx_.driver.Close(handle_) != kViSuccess) {
        std::int32_t code = 0;
        std::string message;
        ctx_.driver.GetError(handle_, code, kErrorMessageSize, message);
        caption = "關閉";
        open_ = false;
        result = 1;
    } else {
        ctx_.messages.Report("[VSG]- 已關閉");
        ctx_.shared.analyzer_flags[kSharedGeneratorOpen] = false;
    }
    ctx_.group.rf_enabled = false;
}

void GeneratorControl::Open(int& result, std::string& caption) {
    ctx_.messages.Add("[VSG]- 等待初始化 ...");
    ctx_.messages.Log("[VSG]- 等待初始化 ...");
    caption = "關閉";
    if (InitGenerator() == 0) {
        ctx_.group.rf_enabled = true;
        ctx_.shared.analyzer_flags[kSharedGeneratorOpen] = true;
        // The open resets the generator, which switches RF off: the page follows, so the
        // next RF click switches it on rather than "off" again.
        rf_ = false;
        ctx_.group.rf_caption = "啟用";
        ctx_.shared.analyzer_flags[kSharedRfOn] = false;
    } else {
        open_ = true;
        caption = "開啟";
        result = 1;
    }
}

int GeneratorControl::SwitchRfOutput(int mode) {
    if (!open_) {
        return 1;
    }
    if (mode == 0) {
        rf_ = true;
    }
    if (!rf_) {
        if (SwitchOn() != 0) {
            // RF stays off, so the button keeps offering to switch it on.
            ctx_.group.rf_caption = "啟用";
            return 1;
        }
    } else {
        SwitchOff();
    }
    rf_ = !rf_;
    const ViStatus status = ctx_.driver.Apply(handle_);
    if (status != kViSuccess) {
        ctx_.messages.Report("VSG Apply設定 : 異常");
    }
    ctx_.messages.Trim();
    return status;
}

int GeneratorControl::SwitchOn() {
    GeneratorGroup& group = ctx_.group;
    group.rf_caption = "停用";
    if (group.frequency_text.empty()) {
        ctx_.messages.Report("VSG 頻率設定 : 異常");
        return 1;
    }
    last_frequency_ = ParseLeadingDouble(group.frequency_text);
    const double frequency_hz = last_frequency_ * 1e9;
    // Written so that NaN fails it too.
    if (!(frequency_hz >= 0 && frequency_hz <= kMaxFrequencyHz)) {
        ctx_.messages.Report("VSG 頻率設定 : 異常 (最大值 6 GHz)");
        return 1;
    }
    if (group.power_text.empty()) {
        ctx_.messages.Add("VSG 功率設定 : 異常", true);
        ctx_.messages.Log("VSG 功率設定 : 異常");
        return 1;
    }
    const double power = ParseLeadingDouble(group.power_text);
    if (!(power >= kMinPowerDbm && power <= kMaxPowerDbm)) {
        ctx_.messages.Add("VSG 功率設定 : 異常 (20dBm ~ -130 dBm)", true);
        ctx_.messages.Log("VSG 功率設定 : 異常 (20dBm ~ -130 dBm)");
        // A power out of range still goes to the generator, which refuses it; one that is
        // no number at all is never sent.
        if (!std::isfinite(power)) {
            return 1;
        }
    }
    ReportDriverError("RF_FREQUENCY",
                      ctx_.driver.SetAttributeViReal64(handle_, kAttrRfFrequency, frequency_hz));
    ReportDriverError("RF_POWER_LEVEL",
                      ctx_.driver.SetAttributeViReal64(handle_, kAttrRfPowerLevel, power));
    ReportDriverError("RF_OUTPUT_PULSE",
                      ctx_.driver.RFConfigureOutput(handle_, 1, PulseMode(group.pulse_selection)));
    ReportDriverError("RF_OUTPUT_ENABLED",
                      ctx_.driver.SetAttributeViBoolean(handle_, kAttrRfOutputEnabled, true));
    ctx_.messages.Report("RF Output : ON ");
    ctx_.shared.analyzer_flags[kSharedRfOn] = true;
    return 0;
}

void GeneratorControl::SwitchOff() {
    ctx_.group.rf_caption = "啟用";
    ReportDriverError("RF_OUTPUT_DISABLED",
                      ctx_.driver.SetAttributeViBoolean(handle_, kAttrRfOutputEnabled, false));
    ctx_.messages.Report("RF Output : OFF ");
    ctx_.shared.analyzer_flags[kSharedRfOn] = false;
}

// A generator closed with RF on still radiates: it is reached again, without a reset,
// to switch RF off; when that fails the log says it may still radiate.
void GeneratorControl::SwitchOffAtExit() {
    const bool reopened =
        !open_ && ctx_.driver.InitWithOptions(kGeneratorResource, true, false, kGeneratorOptions,
                                              handle_) == kViSuccess;
    const bool off =
        (open_ || reopened) &&
        ctx_.driver.SetAttributeViBoolean(handle_, kAttrRfOutputEnabled, false) == kViSuccess &&
        ctx_.driver.Apply(handle_) == kViSuccess;
    if (reopened) {
        ctx_.driver.Close(handle_);
    }
    ctx_.shared.analyzer_flags[kSharedRfOn] = false;
    ctx_.messages.Log(off ? "[GUI][Exit] 關閉 VSG 輻射功能" : kMayStillRadiate);
    ctx_.messages.Log(kLogSeparator);
}

void GeneratorControl::ReadGeneratorSettings() {
    if (!open_) {
        return;
    }
    PageMessages& list = ctx_.messages;
    GeneratorDriver& driver = ctx_.driver;
    list.Add("[VSG]- Get Settings information");
    bool settled = false;
    ReportDriverError("[VSG]- RFIsSettled", driver.RFIsSettled(handle_, settled));
    list.Add(PrintfText("[VSG]- RF IsSettled : %d", settled ? 1 : 0));
    bool waited = false;
    ReportDriverError("[VSG]- RFWaitUntilSettled",
                      driver.RFWaitUntilSettled(handle_, kSettleWaitMs, waited));
    list.Add(waited ? PrintfText("[VSG]- RF Wait Settled : [%d] ", 1)
                    : PrintfText("[VSG]- RF Wait Signal Settle : [%d] ", 0));
    double real = 0.0;
    std::int32_t number = 0;
    bool flag = false;
    auto read_real = [&](std::int32_t attribute) {
        driver.GetAttributeViReal64(handle_, attribute, real);
        return real;
    };
    auto read_int = [&](std::int32_t attribute) {
        driver.GetAttributeViInt32(handle_, attribute, number);
        return number;
    };
    auto read_bool = [&](std::int32_t attribute) {
        driver.GetAttributeViBoolean(handle_, attribute, flag);
        return flag ? 1 : 0;
    };
    list.Add(PrintfText("[VSG]- Output Frequency : %.1f  Hz", read_real(kAttrOutputFrequency)));
    list.Add(PrintfText("[VSG]- Power Level : %.1f dBm", read_real(kAttrPowerLevel)));
    list.Add(PrintfText("[VSG]- Input level : %.2f dBm", read_real(kAttrInputLevel)));
    const std::int32_t pulse = read_int(kAttrPulseMode);
    list.Add(pulse == 0   ? PrintfText("[VSG]- Pulse mode : %d  Pulse off with Trigger", pulse)
             : pulse == 1 ? PrintfText("[VSG]- Pulse Mode : %d  Pulse on with Trigger", pulse)
                          : PrintfText("[VSG]- Pulse Mode : %d  Not Pulsed", pulse));
    const std::int32_t source = read_int(kAttrTriggerSourceOutput);
    list.Add(source == 0
                 ? PrintfText("[VSG]- Source Output : %d  Front Panel Trigger 1 (M9310A)", source)
             : source == 1
                 ? PrintfText("[VSG]- Source Output : %d  Front Panel Trigger 2", source)
                 : PrintfText("[VSG]- Source Output : %d  Trigger PXI Trigger [0 ~ 7]", source));
    const std::int32_t attenuator = read_int(kAttrAttenuatorMode);
    list.Add(attenuator == 0   ? PrintfText("[VSG]- Attenuator Mode : %d  Automatic", attenuator)
             : attenuator == 1 ? PrintfText("[VSG]- Attenuator Mode : %d  Bypass", attenuator)
                               : PrintfText("[VSG]- Attenuator Mode : %d  Manual", attenuator));
    list.Add(PrintfText("[VSG]- Output attenuation : %d dBm", read_int(kAttrOutputAttenuation)));
    list.Add(PrintfText("[VSG]- Source Output Enable : %d", read_bool(kAttrSourceOutputEnable)));
    list.Add(PrintfText("[VSG]- Output Frequency : %.1f Hz", read_real(kAttrRfFrequency)));
    list.Add(PrintfText("[VSG]- Power Level : %.1f dBm", read_real(kAttrRfPowerLevel)));
    list.Add(PrintfText("[VSG]- Pulse Trigger Source : %d", read_int(kAttrPulseTriggerSource)));
    list.Add(PrintfText("[VSG]- Pulse Trigger Mode : %d", read_int(kAttrPulseTriggerMode)));
    list.Add(PrintfText("[VSG]- RF Output Enable : %d", read_bool(kAttrRfOutputEnabled)));
    list.Add("[VSG]- Get Settings information done", true);
    list.Log(kLogSeparator);
}

void GeneratorControl::Shutdown() {
    if (ctx_.shared.analyzer_flags[kSharedRfOn]) {
        SwitchOffAtExit();
    }
    if (open_ && ctx_.driver.Close(handle_) != kViSuccess) {
        std::int32_t code = 0;
        std::string message;
        ctx_.driver.GetError(handle_, code, kErrorMessageSize, message);
    }
    open_ = false;
}

}  // namespace vantu
