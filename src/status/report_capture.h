// Capture of the card's report register memory into the host copy: the fast refresh
// of timer 0 (one block per tick) and the operator's save of every report word to
// qdxa_rpt_reg.log.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string_view>

#include "base/log_files.h"
#include "base/ports.h"
#include "card/card_handle.h"
#include "controller/controller_flags.h"
#include "status/report_memory.h"

namespace vantu {

inline constexpr std::string_view kOpCodeQueryLog = "[TCP] Mem R/W : TCP_Query";
inline constexpr std::string_view kSaveReportQuestion =
    "您確定要 [儲存] 全面天線全部已回報狀態值嗎 ?        \n\n記錄檔檔名 : qdxa_rpt_reg.log";
inline constexpr std::string_view kSaveReportDone = "全面天線全部回報狀態值已儲存完成.          ";

// What a tick of timer 0 did with the card.
enum class ReportPoll { kNone, kRead, kFailed };

// The report poll as the metrics endpoint shows it.
struct PollCounters {
    std::uint64_t blocks_read = 0;
    std::uint64_t failures = 0;
    std::int64_t last_read_us = -1;  // Clock::Microseconds of the last good read; -1 before

    void Count(ReportPoll poll, std::int64_t now_us) {
        if (poll == ReportPoll::kRead) {
            ++blocks_read;
            last_read_us = now_us;
        } else if (poll == ReportPoll::kFailed) {
            ++failures;
        }
    }
};

// One tick of timer 0. With the OP-code access flag set it only logs (the timer keeps
// running); while closing it does nothing; otherwise it stops timer 0 and, unless a
// load or reset holds the card (load-stop, timer left stopped), reads report block
// `block_counter` into the host copy, advances the counter (13 wraps to 0), rebuilds
// the digital-ID table and re-arms timer 0 with 200 ms. A block that could not be read
// is not marked captured, so its zeros are never shown as a report.
ReportPoll FastReportRefresh(CardHandle card, ReportMemory& report, std::uint32_t& block_counter,
                             const ControllerFlags& flags, Timers& timers, LogFiles& logs);

// The context-menu save "儲存 SP RCC 回報值": asks, dumps the 14 blocks to
// qdxa_rpt_reg.log (refreshing the host copy on the way), confirms, and restarts
// timer 0 with 1000 ms and timer 1 with 1500 ms whatever the answer.
void SaveReportRegisters(CardHandle card, ReportMemory& report, Timers& timers, Prompts& prompts,
                         LogFiles& logs, std::ostream& console);

// Reads block (index mod 14) word by word from the card into the host copy, tracing
// every word to the console and, with `to_log`, to qdxa_rpt_reg.log.
void DumpReportBlock(CardHandle card, ReportMemory& report, std::uint32_t block_index, bool to_log,
                     LogFiles& logs, std::ostream& console);

}  // namespace vantu
