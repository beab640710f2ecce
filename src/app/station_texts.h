// Fixed texts of the station that the controller and the window share.
#pragma once

#include <array>
#include <string_view>

#include "base/software_version.h"

namespace vantu {

inline constexpr std::string_view kWindowTitle = "VANTU V1.3";

inline constexpr int kTabCount = 7;
enum Tab {
    kTabMain = 0,
    kTabTrm = 1,
    kTabQdxa = 2,
    kTabAntenna = 3,
    kTabFirmware = 4,
    kTabAnalyzer = 5,
    kTabHistory = 6
};
inline constexpr std::array<std::string_view, kTabCount> kTabTitles = {
    "    主頁面    ",    "   TRM 狀態   ",   "   QDX-A 狀態   ", "   天線狀態    ",
    "   QDX 韌體版本  ", "   信號分析儀   ", "   故障歷程   ",
};

inline constexpr std::string_view kCardOpenFailure =
    "無法開啟 PXIe 電腦端的 [ PXIeCtrl ] 控制卡 !\t\t\t\t\t\t "
    "----------------------------------------------------------------------\n"
    "[故障排除]\t\t\t\t\t\t (1) 確認控制卡的硬體是否均已正確安裝於系統上.\n"
    " (2) 檢查系統裝置管理員 [ PXIeCtrl ] 控制卡驅動程式狀態是否正常.\n"
    " (3) 確認 [ PXIeCtrl ] 控制卡上，紅色故障燈是否已亮起.\n"
    "       若是，請關閉 PXIe 電腦，然後再重新開機.                ";

inline constexpr std::string_view kCloseQuestion = "您確定要關閉 [ VANTU ] 程式嗎 ?             ";

}  // namespace vantu
