#include "pattern/pattern_loader.h"

#include "card/card_ops.h"
#include "pattern/opcode_listing.h"

namespace vantu {
namespace {

constexpr std::string_view kTrailing14 = "              ";

// Why a file was refused, in the operator's words.
std::string_view RefusalReason(PatternReadResult result) {
    switch (result) {
        case kPatternRead:
            break;
        case kPatternOpenFailed:
            return "檔案無法開啟或讀取";
        case kPatternCutHeader:
            return "檔案不足 8 位元組的檔頭";
        case kPatternTooLong:
            return "資料長度超過 8192 位元組";
        case kPatternUnaligned:
            return "起始位址不是 4 的倍數";
        case kPatternOutside:
            return "資料超出控制執行碼記憶體 0xC000-0xDFFF";
    }
    return {};
}

}  // namespace

std::string_view PatternFileName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

PatternLoader::PatternLoader(OpCodeTable& table, LogFiles& logs, Prompts& prompts,
                             MainPageModel& main_page)
    : table_(table), logs_(logs), prompts_(prompts), main_page_(main_page) {}

int PatternLoader::LoadPattern(CardHandle card, const std::string& path, bool show_boxes) {
    PatternImage image;
    if (const PatternReadResult result = ReadForLoad(path, image, show_boxes);
        result != kPatternRead) {
        return result;
    }
    LoadImage(card, path, image, show_boxes);
    return 0;
}

PatternReadResult PatternLoader::ReadForLoad(const std::string& path, PatternImage& image,
                                             bool show_boxes) {
    const PatternReadResult result = ReadPatternFile(path, image);
    if (result != kPatternRead) {
        ReportRefusal(PatternFileName(path), result, show_boxes);
    }
    return result;
}

void PatternLoader::LoadImage(CardHandle card, const std::string& path, const PatternImage& image,
                              bool show_boxes) {
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

    const std::string_view name = PatternFileName(path);
    if (show_boxes) {
        prompts_.Show(PromptIcon::Information, "QDX 全型機箱控制執行碼 [ " + std::string(name) +
                                                   " ] 已載入完成 !" + std::string(kTrailing14));
    }
    logs_.AppendLog("QDX 全型機箱控制執行碼已載入完成 !" + std::string(kTrailing14));
    main_page_.run_button_enabled = true;
}

void PatternLoader::ReportRefusal(std::string_view name, PatternReadResult result,
                                  bool show_boxes) {
    const std::string what = "無法讀取 [ " + std::string(name) + " ] 資料錯誤 !";
    const std::string reason = "原因 : " + std::string(RefusalReason(result));
    if (show_boxes) {
        prompts_.Show(PromptIcon::Error, what + "\n請確認檔案資料是否存在或重新載入 !" +
                                             std::string(kTrailing14) + "\n\n" + reason);
    }
    logs_.AppendLog(what);
    logs_.AppendLog("無法讀取 [ " + std::string(name) + " ] " + reason);
}

}  // namespace vantu
