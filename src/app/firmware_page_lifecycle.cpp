#include "app/firmware_page_lifecycle.h"

#include <cstdio>

#include "app/station_texts.h"
#include "serial/firmware_page_model.h"
#include "serial/line_settings.h"

namespace vantu {
namespace {

constexpr int kBaud = 115200;
constexpr int kReadReplyWaitMs = 10;
constexpr int kShutdownWaitMs = 500;
constexpr int kAfterCloseMs = 100;
// The reply of a full read: echoes, two hex digits a byte, the closing lines.
constexpr std::size_t kReadReplyBytes = 2 * kVersionBlockBytes + 16;

constexpr const char* kShortReply = "[QDX-A] 韌體版本資料不完整 : 收到 %zu / %zu 位元組";
constexpr const char* kLinkCaption = "確認串列埠設定";
constexpr const char* kLinkFailure =
    "無法開啟 [RS232] 串列埠[ %d ]及讀取 [QDX-A] 韌體版本編號 !\n\n"
    "請重新確認 PXIe 電腦端 [RS232] 串列埠設定.\n"
    "--------------------------------------------------------------------------\n"
    "[故障排除]\n"
    "(1) 確認電腦系統上，欲使用的串列埠的驅動程式是否已備便就緒.\n"
    "      請檢視系統裝置管理員串列埠狀態.\n"
    "(2) 確認軟體參數值[ Setup.ini ]中的[COM_PORT]設定值是否正確.\n"
    "(3) 確認 QDX_C 端 USB Host 埠上的 (USB to UART) 傳輸線是否有\n"
    "      連接至 PXIe 電腦的 USB 埠上.\n"
    "         ";

}  // namespace

FirmwarePageLifecycle::FirmwarePageLifecycle(FirmwarePageLifecycleContext context)
    : context_(std::move(context)),
      port_(context_.console),
      monitor_(port_, context_.clock, context_.console) {
    InitFirmwarePage(model_);
}

FirmwarePageLifecycle::~FirmwarePageLifecycle() {
    StopRead();
    port_.CloseSerialPort();
}

int FirmwarePageLifecycle::tab() const {
    return kTabFirmware;
}

void FirmwarePageLifecycle::Tick() {
    ShowUnitVersions(model_, context_.report.reg_sts(), context_.console);
}

int FirmwarePageLifecycle::ReadFirmwareVersions() {
    if (model_.reading) {
        return 0;
    }
    if (OpenFirmwareLink() == 0) {
        ReadModuleVersions();
    }
    return 0;
}

int FirmwarePageLifecycle::OpenFirmwareLink() {
    if (!context_.flags.serial_open) {
        const int port = context_.station.com_port;
        port_.set_device(simulated_device_.empty() ? context_.station.com_device
                                                   : simulated_device_);
        if (port_.OpenSerialPort(port, kBaud, 'N', '\r') != kPortReady) {
            context_.flags.serial_open = false;
            port_.CloseSerialPort();
            char text[1024];
            std::snprintf(text, sizeof text, kLinkFailure, port);
            // The device the number stands for, so the operator knows what to check.
            context_.prompts.Show(PromptIcon::Warning,
                                  std::string(text) + "\n裝置 : " + DevicePath(), kLinkCaption);
            return 1;
        }
        context_.flags.serial_open = true;
    }
    model_.read_enabled = false;
    return 0;
}

void FirmwarePageLifecycle::ReadModuleVersions() {
    port_.SetReplyWait(kReadReplyWaitMs);
    block_.fill(0);
    stored_ = 0;
    model_.warning.clear();
    model_.reading = true;
    model_.progress = 0;
    model_.progress_total = kReadReplyBytes;
    worker_ = std::thread([this] {
        std::size_t shown = 0;
        stored_ = monitor_.ReadAllVersions(block_, [this, &shown](std::size_t received) {
            // Enough steps for a smooth bar without flooding the GUI thread.
            if (received < shown + kReadReplyBytes / 50) {
                return;
            }
            shown = received;
            context_.poster.Post([this, received] {
                if (model_.reading) {
                    model_.progress = received;
                    context_.changed();
                }
            });
        });
        context_.poster.Post([this] { FinishRead(); });
    });
}

void FirmwarePageLifecycle::FinishRead() {
    if (!model_.reading) {
        return;
    }
    StopRead();
    ShowModuleVersions(model_, block_);
    model_.warning = ReadWarning();
    if (port_.line_lost()) {
        context_.console << "vantu: serial line " << DevicePath()
                         << " hung up during the version read\n";
    }
    CloseLink();
    context_.clock.SleepMs(kAfterCloseMs);
    model_.read_enabled = true;
    context_.changed();
}

std::string FirmwarePageLifecycle::DevicePath() const {
    return ComDevicePath(context_.station.com_port, simulated_device_.empty()
                                                        ? context_.station.com_device
                                                        : simulated_device_);
}

std::string FirmwarePageLifecycle::ReadWarning() const {
    if (port_.line_lost()) {
        return "[RS232] 串列埠 " + DevicePath() + " 連線中斷 : 韌體版本未讀取完成";
    }
    if (stored_ < kVersionBlockBytes) {
        char text[128];
        std::snprintf(text, sizeof text, kShortReply, stored_, kVersionBlockBytes);
        return text;
    }
    return {};
}

void FirmwarePageLifecycle::StopRead() {
    if (worker_.joinable()) {
        port_.Cancel();
        worker_.join();
    }
    model_.reading = false;
}

void FirmwarePageLifecycle::CloseLink() {
    context_.flags.serial_open = false;
    port_.CloseSerialPort();
}

void FirmwarePageLifecycle::Shutdown() {
    if (!context_.flags.serial_open) {
        return;
    }
    context_.clock.SleepMs(kShutdownWaitMs);
    StopRead();
    CloseLink();
}

}  // namespace vantu
