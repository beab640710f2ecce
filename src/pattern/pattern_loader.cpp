#include "pattern/pattern_loader.h"

#include "card/card_ops.h"
#include "pattern/opcode_listing.h"
#include "pattern/pattern_file.h"

namespace vantu {
namespace {

constexpr std::string_view kTrailing14 = "              ";

}  // namespace

std::string_view PatternFileName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

PatternLoader::PatternLoader(OpCodeTable& table, LogFiles& logs, Prompts& prompts,
                             MainPageModel& main_page)
    : table_(table), logs_(logs), prompts_(prompts), main_page_(main_page) {}

int PatternLoader::LoadPattern(CardHandle card, const std::string& path, bool show_boxes) {
    const std::string_view name = PatternFileName(path);
    PatternImage image;
    if (int result = ReadPatternFile(path, image); result != kPatternRead) {
        ReportFailure(name, show_boxes);
        return result;
    }

    table_.Clear();
    logs_.AppendOpCodeLog("Load OP Code Pattern", true);
    logs_.AppendOpCodeLog("Pattern (cfg) : " + path, false);
    for (std::size_t i = 0; i < image.words.size(); ++i) {
        const std::uint32_t offset = image.start_offset + static_cast<std::uint32_t>(4 * i);
        WriteCardRegister(card, offset, image.words[i]);
        table_.Append(offset, image.words[i]);
        logs_.AppendOpCodeLog(
            OpCodeListingLine(i, i % 2 == 0 ? table_.parameter(i / 2) : table_.command(i / 2)),
            false);
    }

    if (show_boxes) {
        prompts_.Show(PromptIcon::Information, "QDX 全型機箱控制執行碼 [ " + std::string(name) +
                                                   " ] 已載入完成 !" + std::string(kTrailing14));
    }
    logs_.AppendLog("QDX 全型機箱控制執行碼已載入完成 !" + std::string(kTrailing14));
    main_page_.run_button_enabled = true;
    return 0;
}

void PatternLoader::ReportFailure(std::string_view name, bool show_boxes) {
    const std::string what = "無法讀取 [ " + std::string(name) + " ] 資料錯誤 !";
    if (show_boxes) {
        prompts_.Show(PromptIcon::Error,
                      what + "\n請確認檔案資料是否存在或重新載入 !" + std::string(kTrailing14));
    }
    logs_.AppendLog(what);
}

}  // namespace vantu
