// The views of the TRM and QDX-A status pages: radio button, titles, fault total labels
// and the word of the refresh-all question, one row per view.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vantu {

enum class ModulePageKind { kTrm, kQdxa };

struct ModulePageView {
    int view_type = 0;
    // TM1 on its temperature face.
    bool qdxa_temperature = false;
    std::string_view radio;
    std::string_view grid_title;
    // The position table's title while it shows the status face.
    std::string_view status_title;
    // Empty: the page keeps its labels.
    std::string_view slb_label;
    std::string_view main_label;
    std::string_view question_word;
    // Bars draw only the temperature views.
    bool temperature() const { return view_type == 4 || qdxa_temperature; }
};

// In radio button order; the first is the view of the first tab selection.
std::span<const ModulePageView> ModulePageViews(ModulePageKind kind);

struct ModulePageTexts {
    std::string_view grid_title;
    std::string_view slb_label;
    std::string_view main_label;
};
// The titles and labels the page is laid out with.
ModulePageTexts InitialModulePageTexts(ModulePageKind kind);

inline constexpr std::string_view kPositionFaceTitle = "全面天線位置表";

// The position table's title when the operator turns to the status face.
std::string_view StatusFaceTitle(ModulePageKind kind, const ModulePageView& view);
// "您要更新全面天線全部 [ 綜整 ] 狀態回報嗎 ? " and the QDX-A page's form.
std::string RefreshAllQuestion(ModulePageKind kind, const ModulePageView& view);

}  // namespace vantu
