#include "instruments/instrument_commands.h"

#include <algorithm>
#include <array>

#include "remote/command_words.h"
#include "remote/received_text.h"

namespace vantu {
namespace {

constexpr std::string_view kSetFormatFail = "[TCP] VSG 頻率/功率設定 : 格式錯誤";
constexpr std::string_view kSaveFormatFail = "[TCP] VSA 儲存量測值設定 : 格式錯誤";

std::string WithoutSpaces(std::string_view text) {
    std::string result(text);
    result.erase(std::remove(result.begin(), result.end(), ' '), result.end());
    return result;
}

bool HasSpaceAt(const std::string& line, std::size_t index) {
    return line.size() > index && line[index] == ' ';
}

// The text after the last "."; the whole name when it has none.
std::string_view Extension(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

struct MarkerCommand {
    std::string_view word;
    int marker;
    std::string_view done_reply;
    std::string_view fail_reply;
    std::string_view done_text;
    std::string_view fail_text;
};

constexpr std::array<MarkerCommand, 4> kMarkerCommands = {{
    {"VSA_SET_MRK1_FREQ", 1, "VSA_SET_MRK1_DON", "VSA_SET_MRK1_FAIL",
     "[TCP] VSA Set Marker 1 : 正常", "[TCP] VSA Set Marker 1 : 異常"},
    {"VSA_SET_MRK2_FREQ", 2, "VSA_SET_MRK2_DON", "VSA_SET_MRK2_FAIL",
     "[TCP] VSA Set Marker 2 : 正常", "[TCP] VSA Set Marker 2 : 異常"},
    {"VSA_SET_MRK3_FREQ", 3, "VSA_SET_MRK3_DON", "VSA_SET_MRK3_FAIL",
     "[TCP] VSA Set Marker 3 : 正常", "[TCP] VSA Set Marker 3 : 異常"},
    {"VSA_SET_MRK4_FREQ", 4, "VSA_SET_MRK4_DON", "VSA_SET_MRK4_FAIL",
     "[TCP] VSA Set Marker 4 : 正常", "[TCP] VSA Set Marker 4 : 異常"},
}};

}  // namespace

bool InstrumentCommands::RunCommand(std::string_view word, const std::string& line) {
    return RunGeneratorCommand(word, line) || RunAnalyzerCommand(word, line);
}

bool InstrumentCommands::RunGeneratorCommand(std::string_view word, const std::string& line) {
    if (word == "VSG_SET") {
        if (!HasSpaceAt(line, word.size())) {
            Answer(false, "", "VSG_SET_ FORMAT_FAIL", "", kSetFormatFail);
        } else {
            SetGeneratorBoxes(line);
            Answer(true, "VSG_SET_DONE", "", "[TCP] VSG 頻率/功率設定 : 完成", "");
        }
    } else if (word == "VSG_OPEN") {
        Answer(ctx_.generator.OpenCloseGenerator(1) == 0, "VSG_OPEN_DONE", "VSG_OPEN_FAIL",
               "[TCP] VSG 開啟 : 正常", "[TCP] VSG 開啟 : 異常");
    } else if (word == "VSG_CLOSE") {
        Answer(ctx_.generator.OpenCloseGenerator(0) == 0, "VSG_CLOSE_DONE", "VSG_CLOSE_FAIL",
               "[TCP] VSG 關閉 : 正常", "[TCP] VSG 關閉 : 異常");
    } else if (word == "VSG_RF_ON") {
        Answer(ctx_.generator.SwitchRfOutput(1) == 0, "VSG_RFON_DONE", "VSG_RFON_FAIL",
               "[TCP] VSG 輻射開啟 : 正常", "[TCP] VSG 輻射開啟 : 異常");
    } else if (word == "VSG_RF_OFF") {
        SwitchRfOff();
    } else {
        return false;
    }
    return true;
}

// Nothing goes to the generator: the boxes take effect at the next RF switch-on.
void InstrumentCommands::SetGeneratorBoxes(const std::string& line) {
    const std::string_view args = TextAfterFirstSpace(line);
    const auto space = args.find(' ');
    ctx_.generator_group.power_text = WithoutSpaces(LastWord(args));
    ctx_.generator_group.frequency_text =
        space == std::string_view::npos ? std::string() : WithoutSpaces(args.substr(0, space));
}

void InstrumentCommands::SwitchRfOff() {
    if (ctx_.generator.SwitchRfOutput(0) == 0) {
        Answer(true, "VSG_RFOFF_DONE", "", "[TCP] VSG 輻射關閉 : 正常", "");
        return;
    }
    constexpr std::string_view kFailed = "[TCP] VSG 輻射關閉 : 異常";
    ctx_.main_page.messages.Add(kFailed);
    ctx_.server.List(kFailed);
    ctx_.server.SendReply("VSG_RFOFF_FAIL");
    ctx_.server.Log(kFailed);
    ctx_.server.Separators();
}

bool InstrumentCommands::RunAnalyzerCommand(std::string_view word, const std::string& line) {
    for (const MarkerCommand& command : kMarkerCommands) {
        if (word == command.word) {
            AnswerListed(ctx_.analyzer.SetMarkerFrequency(line, command.marker) == 0,
                         command.done_reply, command.fail_reply, command.done_text,
                         command.fail_text, command.done_text);
            return true;
        }
    }
    if (word == "VSA_SET_MRKALL_FREQ") {
        AnswerListed(ctx_.analyzer.SetAllMarkerFrequencies(line) == 0, "VSA_SET_MRKAll_DON",
                     "VSA_SET_MRKAll_FAIL", "[TCP] VSA Set Marker All : 正常",
                     "[TCP] VSA Set Marker All : 異常", "[TCP] VSA Set Marker All : 正常");
    } else if (word == "VSA_SET_FREQ_CENTER") {
        AnswerListed(ctx_.analyzer.SetCenterFrequency(line) == 0, "VSA_SET_FREQ_CENTER_DONE",
                     "VSA_SET_FREQ_CENTER_FAIL", "[TCP] VSA Set Freq Center : 正常",
                     "[TCP] VSA Set Freq Center : 異常", "[TCP] VSA Set Freq Center : 正常");
    } else if (word == "VSA_SET_SPAN") {
        AnswerListed(ctx_.analyzer.SetSpan(line) == 0, "VSA_SET_SPAN_DONE", "VSA_SET_SPAN_FAIL",
                     "[TCP] VSA Set Span : 正常", "[TCP] VSA Set Span : 異常",
                     "[TCP] VSA Set Freq Span : 正常");
    } else if (word == "VSA_RECALL") {
        Recall(line);
    } else if (word == "VSA_RD") {
        Read();
    } else if (word == "VSA_SAVE_TO_LOG") {
        SaveToLog(line);
    } else if (word != "VSA_SEND") {
        return false;
    }
    return true;
}

void InstrumentCommands::Recall(const std::string& line) {
    const bool spaced = HasSpaceAt(line, std::string_view("VSA_RECALL").size());
    const std::string name(LastWord(line));
    ctx_.server.Log("VSA Recall Setup : " + ShowControlCharacters(name));
    if (!spaced || name.empty() || Extension(name) != "setx") {
        Answer(false, "", "RECALL_FORMAT_FAIL", "", "[TCP] VSA Recall Setup : 格式錯誤");
        return;
    }
    switch (ctx_.analyzer.RecallSetup(name)) {
        case 0:
            Answer(true, "VSA_RECALL_DONE", "", "[TCP] VSA Recall Setup : 完成", "");
            break;
        case 2:
            Answer(false, "", "FILE_NOT_EXIST", "", "[TCP] VSA Recall Setup : 檔案不存在");
            break;
        default:
            Answer(false, "", "VSA_RECALL_FAIL", "", "[TCP] VSA Recall Setup : 異常");
            break;
    }
}

void InstrumentCommands::Read() {
    std::string measurement;
    CCServer& server = ctx_.server;
    if (ctx_.analyzer.ReadMeasurement(measurement) == 0) {
        server.List("[TCP] VSA 讀取量測值 : 完成");
        server.SendReply(measurement);
        server.SendReply("VSA_RD_DONE");
        server.Log("[TCP] VSA 讀取量測值 : 正常");
    } else {
        server.List("[TCP] VSA 讀取量測值 : 異常");
        server.SendReply("VSA_RD_FAIL");
        server.Log("[TCP] VSA 讀取量測值 : 異常");
    }
    server.Separators();
}

void InstrumentCommands::SaveToLog(const std::string& line) {
    CCServer& server = ctx_.server;
    auto answer = [&server](std::string_view text, std::string_view reply) {
        server.List(text);
        server.SendReply(reply);
        server.Log(text);
    };
    if (!HasSpaceAt(line, std::string_view("VSA_SAVE_TO_LOG").size())) {
        answer(kSaveFormatFail, "VSA_SAVE_TO_LOG_FAIL");
        return;
    }
    const std::string_view flag = LastWord(line);
    if (flag == "0") {
        ctx_.analyzer.SetMeasurementLogging(false);
        answer("[TCP] VSA 儲存量測值設定 : 關閉", "VSA_SAVE_TO_LOG_DISABLE");
    } else if (flag == "1") {
        ctx_.analyzer.SetMeasurementLogging(true);
        answer("[TCP] VSA 儲存量測值設定 : 開啟", "VSA_SAVE_TO_LOG_ENABLE");
    } else {
        answer(kSaveFormatFail, "[TCP] VSA_SAVE_TO_LOG_FAIL");
    }
    server.Separators();
}

void InstrumentCommands::Answer(bool done, std::string_view done_reply, std::string_view fail_reply,
                                std::string_view done_text, std::string_view fail_text) {
    ctx_.server.SendReply(done ? done_reply : fail_reply);
    ctx_.server.ListAndLog(done ? done_text : fail_text);
    ctx_.server.Separators();
}

void InstrumentCommands::AnswerListed(bool done, std::string_view done_reply,
                                      std::string_view fail_reply, std::string_view done_text,
                                      std::string_view fail_text, std::string_view done_log) {
    ctx_.server.List(done ? done_text : fail_text);
    ctx_.server.SendReply(done ? done_reply : fail_reply);
    ctx_.server.Log(done ? done_log : fail_text);
    ctx_.server.Separators();
}

}  // namespace vantu
