#include "status/report_capture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "controller/controller_timers.h"
#include "fake_ports.h"
#include "quiet_card.h"
#include "temp_dir.h"

namespace vantu {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class ReportCaptureTest : public ::testing::Test {
  protected:
    ReportCaptureTest() : session(testing::QuietSimulatedCard()), logs(dir.path(), clock) {
        dir.MakeDir("Log");
        logs.OpenLog();
        for (std::uint32_t i = 0; i < kReportWords; ++i) {
            session->card().SetReportWord(i, 0xC0DE0000u + i);
        }
        session->card().SetReportReadHook([this](std::uint32_t offset) {
            if (offset % kReportBlockBytes == 0) {
                blocks_read.push_back((offset - kReportMemory) / kReportBlockBytes);
            }
        });
        timers.Start(kReportPollTimer, kReportPollRestartMs);
        timers.TakeJournal();
    }

    void Tick() { FastReportRefresh(session->handle(), report, counter, flags, timers, logs); }
    std::string OperationLog() const { return dir.Read("Log/2026-12-5.log"); }

    testing::TempDir dir;
    testing::FakeClock clock;
    std::unique_ptr<SimulatedCardSession> session;
    LogFiles logs;
    testing::ManualTimers timers;
    testing::FakePrompts prompts;
    ControllerFlags flags;
    ReportMemory report;
    std::uint32_t counter = 0;
    std::vector<std::uint32_t> blocks_read;
};

TEST_F(ReportCaptureTest, FourteenTicksReadEveryBlockOnceInOrder) {
    ASSERT_NE(session, nullptr);
    for (std::uint32_t tick = 0; tick < kReportBlockCount; ++tick) {
        Tick();
        EXPECT_EQ(counter, (tick + 1) % kReportBlockCount);
        // `reg_trm_temp` spans blocks 10 to 13.
        EXPECT_EQ(report.Captured(ReportArray::kTrmTemp), tick == 13) << tick;
        EXPECT_EQ(report.sys_rpt_reg()[tick * 256 + 255], 0xC0DE0000u + tick * 256 + 255);
        if (tick + 1 < kReportBlockCount) {
            EXPECT_EQ(report.sys_rpt_reg()[(tick + 1) * 256], 0u) << "read ahead at " << tick;
        }
    }
    EXPECT_THAT(blocks_read, ::testing::ElementsAre(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13));
    // The digital-ID table follows `reg_sts`: slot 0 is byte 0 of word 128.
    EXPECT_EQ(report.digital_ids()[0], static_cast<std::uint8_t>(0xC0DE0000u + 128));
}

TEST_F(ReportCaptureTest, AFailedReadIsCountedAndItsZerosNeverShownAsAReport) {
    PollCounters poll;
    poll.Count(FastReportRefresh(nullptr, report, counter, flags, timers, logs), 5);
    poll.Count(FastReportRefresh(session->handle(), report, counter, flags, timers, logs), 7);
    EXPECT_FALSE(report.Captured(ReportArray::kSts));
    EXPECT_TRUE(report.Captured(ReportArray::kTrmSts));  // block 1, read on the second tick
    EXPECT_EQ(std::tuple(poll.failures, poll.blocks_read, poll.last_read_us),
              std::tuple(1u, 1u, 7));
    EXPECT_EQ(timers.RemainingMs(kReportPollTimer), 200);
}

// Only the load stop touches the poll timer, and it only stops it.
TEST_F(ReportCaptureTest, OpCodeAccessOnlyLogsClosingDoesNothingAndALoadStopReadsNothing) {
    flags.opcode_access = true;
    flags.closing = true;
    Tick();
    EXPECT_THAT(Lines(OperationLog()).back(), HasSubstr(",[TCP] Mem R/W : TCP_Query"));

    flags.opcode_access = false;
    const std::string before = OperationLog();
    Tick();
    EXPECT_EQ(OperationLog(), before);

    flags.closing = false;
    flags.load_stop = true;
    Tick();
    EXPECT_EQ(std::tuple(timers.TakeJournal(), blocks_read.size(), counter),
              std::tuple(std::vector<std::string>{"kill 0"}, 0u, 0u));
}

TEST_F(ReportCaptureTest, SaveWritesEveryWordWithItsArrayLabel) {
    prompts.answers = {true};
    std::ostringstream console;
    SaveReportRegisters(session->handle(), report, timers, prompts, logs, console);

    ASSERT_EQ(prompts.shown.size(), 2u);
    for (std::uint32_t i = 0; i < kReportWords; ++i) {
        ASSERT_EQ(report.sys_rpt_reg()[i], 0xC0DE0000u + i) << i;
    }

    const std::vector<std::string> lines = Lines(dir.Read("qdxa_rpt_reg.log"));
    ASSERT_EQ(lines.size(), 3u + 14u * 261u);
    const std::string separator(102, '-');
    EXPECT_EQ(std::vector(lines.begin(), lines.begin() + 5),
              (std::vector<std::string>{"update_qdxa_rpt_reg [0] ~ [13]", separator, "",
                                        "update_qdxa_rpt_reg [0]", "step up Reg offset [0x0] "}));
    EXPECT_THAT(lines[5],
                MatchesRegex("dwptr\\[0x[0-9A-F]+\\]  SP_EMU offset offset \\[0x8800\\]  "));
    EXPECT_EQ(lines[6], "");
    EXPECT_THAT(lines[8], MatchesRegex("Index\\[0x004\\] reg_mem\\[0x8804\\] sys_rpt_reg "
                                       "\\[0x[0-9A-F]+\\] value\\[0xC0DE0001\\]   "
                                       "reg_sts\\[256\\]-I\\[001\\]"));
    EXPECT_EQ(lines[3 + 260], separator);
    // Block 6 starts `reg_trm_pwr`, block 9 ends it.
    const std::size_t block6 = 3 + 6 * 261;
    EXPECT_EQ(lines[block6], "update_qdxa_rpt_reg [6]");
    EXPECT_EQ(lines[block6 + 1], "step up Reg offset [0x1800] ");
    EXPECT_THAT(lines[block6 + 4], HasSubstr("reg_mem[0xA000] "));
    EXPECT_THAT(lines[block6 + 4], HasSubstr("value[0xC0DE0600]   reg_trm_pwr[1024]-I[000]"));
    const std::size_t block9_last = 3 + 9 * 261 + 259;
    EXPECT_THAT(lines[block9_last], MatchesRegex("Index\\[0x3FC\\] reg_mem\\[0xAFFC\\] .*"
                                                 "reg_trm_pwr\\[1024\\]-I\\[1023\\]"));
    EXPECT_THAT(lines[lines.size() - 2], HasSubstr("reg_trm_temp[1024]-I[1023]"));

    const std::string trace = console.str();
    EXPECT_THAT(trace, HasSubstr("update_qdxa_rpt_reg [13]\nstep up Reg offset [0x3400]\n"));
    EXPECT_THAT(trace, HasSubstr("value[0xC0DE0DFF]\n"));
}

TEST_F(ReportCaptureTest, SaveAnsweredNoWritesNothingButRestartsTheTimersACardNeeds) {
    prompts.answers = {false};
    std::ostringstream console;
    SaveReportRegisters(session->handle(), report, timers, prompts, logs, console);
    EXPECT_FALSE(dir.Exists("qdxa_rpt_reg.log"));
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(timers.TakeJournal(), testing::kStoppedAndRestarted);

    // Without a card there is nothing to poll: the report timer stays stopped.
    prompts.answers = {false};
    SaveReportRegisters(nullptr, report, timers, prompts, logs, console);
    EXPECT_EQ(timers.TakeJournal(), (std::vector<std::string>{"kill 0", "kill 1", "start 1 1500"}));
}

}  // namespace
}  // namespace vantu
