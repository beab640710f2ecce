#include "remote/chassis_commands.h"

#include <cstdio>

#include "base/number_text.h"
#include "card/card_ops.h"
#include "pattern/pattern_directory.h"
#include "remote/command_words.h"
#include "remote/received_text.h"

namespace vantu {
namespace {

constexpr std::string_view kSetWord = "SET_OPCODE_PARAM";
constexpr std::string_view kGetWord = "GET_OPCODE_PARAM";
constexpr int kStopSettleMs = 100;
constexpr int kClearLeadMs = 100;

constexpr std::string_view kLoadResult = "[TCP] PXIe/QDX 全型機箱載入執行碼 : ";
constexpr std::string_view kSetPosition = "[TCP] 設定 OP CODE 位置 : ";
constexpr std::string_view kGetPosition = "[TCP] 讀取 OP CODE 位置 : ";

// "]-[0x%04X]" of a parameter's card address, closing the log form of a position.
std::string AddressSuffix(std::uint32_t address) {
    char text[24];
    std::snprintf(text, sizeof text, "]-[0x%04X]", address);
    return text;
}

// "%04X %08X" of a parameter's card address and word.
std::string DataText(std::uint32_t address, std::uint32_t word) {
    char text[24];
    std::snprintf(text, sizeof text, "%04X %08X", address, word);
    return text;
}

std::string Joined(std::string_view a, std::string_view b) {
    std::string text(a);
    text += b;
    return text;
}

}  // namespace

ChassisCommands::ChassisCommands(const ChassisContext& context) : ctx_(context) {}

bool ChassisCommands::RunCommand(std::string_view word, const std::string& line) {
    if (word == "PL") {
        LoadPattern(line);
    } else if (word == "PG") {
        StartCode(line);
    } else if (word == "PS") {
        StopCode();
    } else if (word == "PB") {
        PollBusy();
    } else if (word == kSetWord) {
        SetParameter(line);
    } else if (word == kGetWord) {
        GetParameter(line);
    } else {
        return false;
    }
    return true;
}

void ChassisCommands::AnswerFormatFailure(std::string_view text, std::string_view reply) {
    ctx_.server.List(text);
    ctx_.server.SendReply(reply);
    ctx_.server.Log(text);
    ctx_.server.Separators();
}

void ChassisCommands::LogElapsed() {
    char text[96];
    std::snprintf(text, sizeof text, "[TCP] CALC Time End : %.3f us",
                  ctx_.elapsed.ElapsedMicroseconds());
    ctx_.server.Log(text);
}

void ChassisCommands::LoadPattern(const std::string& line) {
    CCServer& server = ctx_.server;
    if (!HasArgumentText(line, "PL")) {
        AnswerFormatFailure("[TCP] 載入PXIe/QDX 全型機箱控制執行碼 : 格式錯誤", "PL_FORMAT_FAIL");
        LogElapsed();
        return;
    }
    const std::string name(LastWord(line));
    const std::string& dir = ctx_.settings.pattern_dir;
    if (!PatternFileExists(dir, name)) {
        server.SendReply("FILE_NOT_EXIST");
        server.ListAndLog("[TCP] PXIe/QDX 全型機箱控制執行碼檔案 : 不存在");
        server.TrimList();
        server.Separators();
        return;
    }

    // A file the loader refuses changes nothing on the card: the running code goes on.
    const std::string path = dir + "/" + name;
    PatternImage image;
    const bool loadable = ctx_.loader.ReadForLoad(path, image, false) == kPatternRead;
    if (loadable) {
        if (IsControlCodeBusy(ctx_.card)) {
            StopBeforeLoad();
        }
        ctx_.clock.SleepMs(kClearLeadMs);
        ClearControlCodeMemory(ctx_.card);
        server.ListAndLog("[TCP] PXIe/QDX 全型機箱控制執行碼 : 已重置");
    }
    server.ListAndLog(Joined(kLoadResult, ShowControlCharacters(name)));
    ctx_.analyzer_page.chassis.control_code_name = name;

    if (!loadable) {
        server.SendReply("PL_FAIL");
        server.ListAndLog(Joined(kLoadResult, "異常"));
    } else {
        ctx_.loader.LoadImage(ctx_.card, path, image, false);
        ctx_.run_control.RememberLoaded(path);
        server.SendReply("PL_DONE");
        server.ListAndLog(Joined(kLoadResult, "完成"));
    }
    server.Separators();
    LogElapsed();
}

void ChassisCommands::StopBeforeLoad() {
    // While the flag is up the report poll leaves the card alone.
    ctx_.flags.load_stop = true;
    ctx_.server.ListAndLog("[TCP] PXIe/QDX 全型機箱執行碼控制 : 忙碌中");
    StopControlCode(ctx_.card);
    ctx_.server.ListAndLog("[TCP] PXIe/QDX 全型機箱控制執行碼 : 已停用");
    ctx_.main_page.running = false;
    ctx_.clock.SleepMs(kStopSettleMs);
    ctx_.flags.load_stop = false;
}

void ChassisCommands::StartCode(const std::string& line) {
    CCServer& server = ctx_.server;
    if (HasArgumentText(line, "PG")) {
        EnableControlCode(ctx_.card);
        server.SendReply("PG_DONE");
        server.ListAndLog("[TCP] PXIe/QDX 全型機箱控制執行碼 : 已啟用");
    } else {
        server.SendReply("PG_FORMAT_FAIL");
        server.ListAndLog("[TCP] 執行 PXIe/QDX 全型機箱控制指令 : 格式錯誤");
    }
    server.Separators();
}

void ChassisCommands::StopCode() {
    StopControlCode(ctx_.card);
    ctx_.server.SendReply("PS_DONE");
    ctx_.server.ListAndLog("[TCP] PXIe/QDX 全型機箱控制 : 已停用");
    ctx_.server.Separators();
}

void ChassisCommands::PollBusy() {
    const bool busy = IsControlCodeBusy(ctx_.card);
    if (busy != last_busy_report_) {
        ctx_.server.SendReply(busy ? "SP_BUSY" : "SP_IDLE");
        ctx_.server.ListAndLog(busy ? "[TCP] PXIe/QDX 全型機箱控制 : 忙碌中"
                                    : "[TCP] PXIe/QDX 全型機箱控制 : 閒置中");
        last_busy_report_ = busy;
    }
    ctx_.server.Separators();
}

void ChassisCommands::SetParameter(const std::string& line) {
    ctx_.flags.opcode_access = true;
    if (HasArgumentText(line, kSetWord)) {
        WriteParameter(TextAfterFirstSpace(line));
    } else {
        AnswerFormatFailure("[TCP] 設定PXIe/QDX 全型機箱控制執行碼參數 : 格式錯誤",
                            "SET_OPCODE_PARAM_FAIL");
    }
    ctx_.flags.opcode_access = false;
}

void ChassisCommands::WriteParameter(std::string_view args) {
    CCServer& server = ctx_.server;
    // A lone index has no value word; its last word is the index itself.
    const bool has_value_word = args.find(' ') != std::string_view::npos;
    const std::string_view value_word = has_value_word ? LastWord(args) : std::string_view();
    const std::optional<std::uint32_t> value = ParseHex32(value_word);
    server.ListAndLog("[TCP] 設定 OP CODE 參數 : 0x" + ShowControlCharacters(value_word));

    const std::string_view index_word = FirstWord(args);
    const std::string index_text = ShowControlCharacters(index_word);
    // Index 0, indexes beyond the last load's entries and numbers wider than a card
    // word name no write.
    const std::optional<OpCodeEntry> entry = value ? FindParameter(index_word) : std::nullopt;
    bool written = false;
    if (!entry) {
        server.ListAndLog(Joined(kSetPosition, "0x" + index_text));
    } else {
        // The card operations clear the two lowest address bits.
        WriteCardRegister(ctx_.card, entry->address, *value);
        server.List(Joined(kSetPosition, "0x" + index_text));
        server.Log(Joined(kSetPosition, "Index[0x" + index_text) + AddressSuffix(entry->address));
        std::uint32_t read_back = 0;
        ReadCardRegister(ctx_.card, entry->address, read_back);
        written = read_back == *value;
    }
    server.SendReply(written ? "SET_OPCODE_PARAM_DONE" : "SET_OPCODE_PARAM_FAIL");
    LogElapsed();
    server.ListAndLog(written ? "[TCP] 設定 OP CODE 狀態 : 正常"
                              : "[TCP] 設定 OP CODE 狀態 : 異常");
    server.Separators();
}

std::optional<OpCodeEntry> ChassisCommands::FindParameter(std::string_view index_word) const {
    const std::optional<std::uint32_t> index = ParseHex32(index_word);
    return index ? ctx_.opcode_table.FindParameter(*index) : std::nullopt;
}

void ChassisCommands::GetParameter(const std::string& line) {
    ctx_.flags.opcode_access = true;
    if (HasArgumentText(line, kGetWord)) {
        ReadParameter(LastWord(line));
    } else {
        AnswerFormatFailure("[TCP] 讀取PXIe/QDX 全型機箱控制執行碼參數 : 格式錯誤",
                            "GET_OPCODE_PARAM_FAIL");
    }
    ctx_.flags.opcode_access = false;
}

void ChassisCommands::ReadParameter(std::string_view index_word) {
    CCServer& server = ctx_.server;
    const std::string index_text = ShowControlCharacters(index_word);
    const std::optional<OpCodeEntry> entry = FindParameter(index_word);
    if (!entry) {
        server.ListAndLog(Joined(kGetPosition, "0x" + index_text));
        server.ListAndLog("[TCP] 讀取 OP CODE 資料 : 異常");
        LogElapsed();
        server.SendReply("GET_OPCODE_PARAM_FAIL");
        server.Separators();
        return;
    }
    server.List(Joined(kGetPosition, "0x" + index_text));
    server.Log(Joined(kGetPosition, "Index[0x" + index_text) + AddressSuffix(entry->address));
    std::uint32_t word = 0;
    ReadCardRegister(ctx_.card, entry->address, word);
    const std::string data = DataText(entry->address, word);
    server.ListAndLog("[TCP] 讀取 OP CODE 資料 : 0x" + data);
    server.SendReply("OPCODE_PARAM  " + data);
    LogElapsed();
    server.SendReply("GET_OPCODE_PARAM_DONE");
    server.Separators();
}

}  // namespace vantu
