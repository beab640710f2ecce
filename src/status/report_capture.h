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
#include "model/controller_flags.h"
#include "status/report_memory.h"

namespace vantu {

inline constexpr std::string_view kOpCodeQueryLog = "[TCP] Mem R/W : TCP_Query";
inline constexpr std::string_view kSaveReportQuestion =
    "您確定要 [儲存] 全面天線全部已回報狀態值嗎 ?        \n\n記錄檔檔名 : qdxa_rpt_reg.log";
inline constexpr std::string_view kSaveReportDone = "全面天線全部回報狀態值已儲存完成.          ";

// One tick of timer 0. With the OP-code access flag set it only logs (the timer keeps
// running); while closing it does nothing; otherwise it stops timer 0 and, unless a
// load or reset holds the card (load-stop, timer left stopped), reads report block
// `block_counter` into the host copy, advances the counter (13 wraps to 0), rebuilds
// the digital-ID table and re-arms timer 0 with 200 ms.
enum class ReportPoll { kSkipped, kRead, kFailed };
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
