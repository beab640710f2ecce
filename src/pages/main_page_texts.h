// The main page's own texts: titles, labels, tooltips, menu items and questions.
#pragma once

#include <array>
#include <string_view>

#include "base/shared_settings.h"

namespace vantu {

struct ViewChoice {
    std::string_view box;
    std::string_view title;
    DisplayMode mode;
    bool shown;
};

// The four view check boxes, left to right; " TRM 狀態" is hidden.
inline constexpr std::array<ViewChoice, 4> kViewChoices = {{
    {" TRM 狀態", "全面天線模組狀態", kDisplayTrmStatus, false},
    {" TRM TxRx", "全面天線 TxRx 狀態", kDisplayTrmTxRx, true},
    {" TRM 溫度", "全面天線模組溫度", kDisplayTrmTemperature, true},
    {" QDX-A 溫度", "全面QDX-A溫度", kDisplayQdxaTemperature, true},
}};

inline constexpr std::string_view kStatusGroupTitle = "天線模組狀態";
inline constexpr std::string_view kAntennaSummaryGroupTitle = "全面天線狀態";
inline constexpr std::string_view kHealthGroupTitle = "天線狀態";
inline constexpr std::array<std::string_view, 4> kHealthLabels = {"電源", "環控", "數位", "射頻"};
inline constexpr std::string_view kExciterGroupTitle = "EXCITER";
inline constexpr std::string_view kInputPowerGroupTitle = "輸入功率";
inline constexpr std::array<std::string_view, 2> kInputPowerLabels = {"EXCITER", "QTRM"};
inline constexpr std::string_view kControlModeGroupTitle = "控制模式";
inline constexpr std::string_view kEnableLabel = "致能設定";
inline constexpr std::array<std::string_view, 2> kEnableChoices = {"        ON", "        OFF"};
inline constexpr std::string_view kAttenuationLabel = "衰減量 (dB)";
inline constexpr int kMaxAttenuationDb = 36;
inline constexpr std::string_view kConfirmButton = "確定";
inline constexpr std::string_view kSystemGroupTitle = "系統控制";
inline constexpr std::string_view kChassisGroupTitle = "PXIe /  QDX 全型機箱控制設定";
inline constexpr std::string_view kPatternLabel = "控制執行碼";
inline constexpr std::string_view kLoadButton = "載入";
inline constexpr std::string_view kQtrmButton = "QTRM";
inline constexpr std::string_view kQdxaButton = "QDXA";
inline constexpr std::string_view kCloseButton = "關閉程式";
inline constexpr std::string_view kMinimiseButton = "最小化";
inline constexpr std::string_view kAntNoLabel = "Ant No";
inline constexpr std::string_view kSetButton = "Set";

inline constexpr std::string_view kLoadTip = "載入控制執行碼";
inline constexpr std::string_view kRunTip = "啟用/停用執行碼控制";
inline constexpr std::string_view kPatternTip = "由 Setup.ini 設定載入預設的控制執行碼檔";
inline constexpr std::string_view kMinimiseTip = "設定主程式視窗最小化";

// The antenna module status list: column headers and the row labels.
inline constexpr std::array<std::string_view, 9> kStatusListHeaders = {
    "", "", "", "天線模組", "故障總數", "", "天線模組", "故障總數", ""};
inline constexpr std::array<int, 9> kStatusListWidths = {0, 65, 19, 135, 110, 19, 110, 110, 90};
inline constexpr std::string_view kSpInterfaceLabel = "QDX-C 與 SP 介面";
inline constexpr std::string_view kSlbTotalLabel = "SLB DTRM";
inline constexpr std::string_view kInternalInterfaceLabel = "天線內部裝備介面";
inline constexpr std::string_view kMainTotalLabel = "主天線";

inline constexpr std::string_view kMenuName = "ContextMenu";
inline constexpr std::string_view kMenuGridLines = "顯示格點線 ... \tCtrl+G";
inline constexpr std::string_view kMenuRefLines = "顯示參考線 ... \tCtrl+R";
inline constexpr std::string_view kMenuRefLineColour = "設定參考線顏色  ... \tCtrl+L";
inline constexpr std::string_view kMenuLegend = "溫度調色設定對應表";
inline constexpr std::string_view kMenuReset = "重置系統參數值";
inline constexpr std::string_view kMenuResetReports = "全面天線全部已讀狀態";
inline constexpr std::string_view kMenuResetControlCode = "SP 工作模式控制碼";
inline constexpr std::string_view kMenuSaveReports = "儲存 SP RCC 回報值";
inline constexpr std::string_view kMenuMessages = "顯示訊息視窗";
inline constexpr std::string_view kMenuOff = "關閉";
inline constexpr std::string_view kMenuOn = "開啟";

inline constexpr std::string_view kResetReportsQuestion =
    "您確定要 [重置] 全面天線全部的回報狀態值嗎 ?      ";
inline constexpr std::string_view kResetControlCodeQuestion =
    "您確定要 [重置] 已設定的 QDX 全型機箱控制執行碼嗎 ?      ";

}  // namespace vantu
