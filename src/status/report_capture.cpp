#include "status/report_capture.h"

#include "controller/controller_timers.h"

#include <cinttypes>
#include <cstdio>
#include <ostream>
#include <string>

#include "card/card_ops.h"
#include "status/report_fields.h"

namespace vantu {
namespace {

const std::string kReportLogSeparator(102, '-');

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[160];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::uintmax_t Address(const void* pointer) {
    return reinterpret_cast<std::uintptr_t>(pointer);
}

// "reg_trm_pwr[1024]-I[%.3d]" of the card offset: the word's index within its array.
std::string ArrayLabel(std::uint32_t card_offset) {
    const std::size_t word = (card_offset - kReportMemory) / 4;
    const ReportArrayInfo& info = InfoOf(ArrayOfWord(word));
    return Format("%s[%zu]-I[%.3zu]", std::string(info.name).c_str(), info.words,
                  word - info.first_word);
}

}  // namespace

ReportPoll FastReportRefresh(CardHandle card, ReportMemory& report, std::uint32_t& block_counter,
                             const ControllerFlags& flags, Timers& timers, LogFiles& logs) {
    if (flags.opcode_access) {
        logs.AppendLog(kOpCodeQueryLog);
        return ReportPoll::kNone;
    }
    if (flags.closing) {
        return ReportPoll::kNone;
    }
    timers.Kill(kReportPollTimer);
    if (flags.load_stop) {
        return ReportPoll::kNone;
    }
    const bool read = ReadReportBlock(card, report.sys_rpt_reg().data(), block_counter);
    if (read) {
        report.MarkCaptured(block_counter);
    }
    block_counter = (block_counter + 1) % kReportBlockCount;
    RebuildDigitalIdTable(report);
    timers.Start(kReportPollTimer, kReportPollPeriodMs);
    return read ? ReportPoll::kRead : ReportPoll::kFailed;
}

void DumpReportBlock(CardHandle card, ReportMemory& report, std::uint32_t block_index, bool to_log,
                     LogFiles& logs, std::ostream& console) {
    const std::uint32_t block = block_index % kReportBlockCount;
    const std::uint32_t offset = block * kReportBlockBytes;
    auto words = report.sys_rpt_reg();
    auto log = [&](const std::string& text, bool line_feed) {
        if (to_log) {
            logs.WriteReportLog(text, line_feed);
        }
    };
    console << Format("step up Reg offset [0x%X]\n", offset);
    log(Format("step up Reg offset [0x%X] ", offset), true);
    const std::uintmax_t base = Address(words.data());
    console << Format("dwptr[0x%" PRIXMAX "]  ", base);
    log(Format("dwptr[0x%" PRIXMAX "]  ", base), false);
    std::uint32_t card_offset = offset + kReportMemory;
    console << Format("SP_EMU offset offset [0x%X] \n", card_offset) << "\n";
    log(Format("SP_EMU offset offset [0x%X]  ", card_offset), true);
    log("", true);
    for (std::uint32_t i = 0; i < kReportBlockBytes; i += 4, card_offset += 4) {
        std::uint32_t& word = words[(card_offset - kReportMemory) / 4];
        ReadCardRegister(card, card_offset, word);
        const std::uintmax_t address = Address(&word);
        console << Format("Index[0x%.3x] reg_mem [0x%x] ", i, card_offset)
                << Format("sys_rpt_reg [0x%" PRIXMAX "]   value[0x%.8X]\n", address, word);
        log(Format("Index[0x%.3X] reg_mem[0x%X] ", i, card_offset) +
                Format("sys_rpt_reg [0x%" PRIXMAX "] value[0x%.8X]   ", address, word) +
                ArrayLabel(card_offset),
            true);
    }
}

void SaveReportRegisters(CardHandle card, ReportMemory& report, Timers& timers, Prompts& prompts,
                         LogFiles& logs, std::ostream& console) {
    StopPeriodicTimers(timers);
    if (prompts.AskYesNo(std::string(kSaveReportQuestion))) {
        logs.WriteReportLog("update_qdxa_rpt_reg [0] ~ [13]", true);
        logs.WriteReportLog(kReportLogSeparator + "\n", true);
        for (std::uint32_t n = 0; n < kReportBlockCount; ++n) {
            console << Format("update_qdxa_rpt_reg [%d]\n", static_cast<int>(n));
            logs.WriteReportLog(Format("update_qdxa_rpt_reg [%d]", static_cast<int>(n)), true);
            DumpReportBlock(card, report, n, true, logs, console);
            logs.WriteReportLog(kReportLogSeparator, true);
        }
        console.flush();
        prompts.Show(PromptIcon::Information, std::string(kSaveReportDone));
    }
    RestartPeriodicTimers(timers, card != nullptr);
}

}  // namespace vantu
