#include "status/module_page_views.h"

#include <array>
#include <string>

#include "status/module_fields.h"

namespace vantu {
namespace {

constexpr std::string_view kDtrmSlb = "SLB DTRM 故障總數 :";
constexpr std::string_view kDtrmMain = "主天線 DTRM 故障總數 :";

constexpr std::array<ModulePageView, 4> kTrmViews = {{
    {kViewSummary, false, " 綜整 狀態   TM5", "TRM  綜整狀態", "全面 TRM 綜整狀態", kDtrmSlb,
     kDtrmMain, "[ 綜整 ]"},
    {kViewTemperature, false, " 溫度 狀態   TM4", "TRM 溫度狀態 ( °C )", "全面 TRM 溫度狀態",
     kDtrmSlb, kDtrmMain, "[ 溫度 ]"},
    {kViewVoltage, false, " 電壓 狀態   TM3", "TRM 電壓狀態", "TRM 電壓狀態",
     "SLB TRM 故障總數 :", "主天線 TRM 故障總數 :", "[ 電壓 ]"},
    {kViewTxRx, false, " TXRX 狀態 TM2", "DTRM  TxRx 狀態", "DTRM TxRx 狀態",
     "SLB QTRM 故障總數 :", "主天線 QTRM 故障總數 :", "[ TxRx ]"},
}};

constexpr std::array<ModulePageView, 3> kQdxaViews = {{
    {kViewQdxa,
     false,
     "綜整 狀態 TM1",
     "QDX-A  綜整狀態",
     "全面 QDX-A  綜整狀態",
     {},
     {},
     "[ 綜整 ]"},
    {kViewQdxa,
     true,
     "溫度 狀態 TM1",
     "QDX-A 溫度狀態 ( °C )",
     "全面 QDX-A 溫度狀態",
     {},
     {},
     "[ 溫度 ]"},
    {kViewDigitalId,
     false,
     "數位 ID     TM8 ",
     "QDX-A 數位 ID 狀態 ",
     "全面 QDX-A 數位 ID 狀態",
     {},
     {},
     "[ 綜整 ]"},
}};

}  // namespace

std::span<const ModulePageView> ModulePageViews(ModulePageKind kind) {
    if (kind == ModulePageKind::kTrm) {
        return kTrmViews;
    }
    return kQdxaViews;
}

ModulePageTexts InitialModulePageTexts(ModulePageKind kind) {
    if (kind == ModulePageKind::kTrm) {
        return {kTrmViews[0].grid_title, kDtrmSlb, kDtrmMain};
    }
    return {"QDX-A 溫度狀態 ( °C )", "SLB QDX-A 故障總數 :", "主天線 QDX-A 故障總數 :"};
}

std::string_view StatusFaceTitle(ModulePageKind kind, const ModulePageView& view) {
    if (kind == ModulePageKind::kTrm) {
        return view.status_title;
    }
    return view.qdxa_temperature ? "全面 QDX-A 溫度狀態" : "全面 QDX-A 狀態";
}

std::string RefreshAllQuestion(ModulePageKind kind, const ModulePageView& view) {
    if (kind == ModulePageKind::kTrm) {
        return "您要更新全面天線全部 " + std::string(view.question_word) + " 狀態回報嗎 ? ";
    }
    return "您要更新 QDX-A 全部 " + std::string(view.question_word) + "狀態回報嗎 ? ";
}

}  // namespace vantu
