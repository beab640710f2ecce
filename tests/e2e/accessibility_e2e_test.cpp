// The real window worked from outside, as a screen reader or a test script works it:
// over the accessibility bus, with the example scripts of docs/scripting-the-gui.md.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "station_process.h"

namespace vantu::testing {
namespace {

// The start of every session on the Xvfb display inside its own session bus: the
// station with accessibility on, polled until its main page shows.
constexpr const char* kStart = R"sh(
set -u
cd "$STATION"
mkdir -p home run && chmod 700 run
HOME="$STATION/home" XDG_RUNTIME_DIR="$STATION/run" QT_QPA_PLATFORM=xcb \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$VANTU" --simulate --port "$PORT" 2>stderr.txt &
pid=$!
trap 'kill -TERM $pid 2>/dev/null; wait $pid' EXIT
until grep -q "main page shows" stderr.txt; do kill -0 $pid || exit 3; sleep 0.1; done
)sh";

// The main page read once it can be, as the scripting guide's example reads it.
constexpr const char* kRead = R"sh(
until /usr/bin/python3 "$SCRIPTS/read_main_page.py" > read.txt 2>> reader-errors.txt; do sleep 0.1; done
)sh";

// Last, after the silent card's steps: the stand-in analyzer running and found by its
// page's open button, so the shutdown will ask whether to close it; the close question
// of the main page open; then SIGTERM, repeated every millisecond until the process is
// gone.
constexpr const char* kSignalWithQuestionOpen = R"sh(
HOME="$STATION/home" XDG_RUNTIME_DIR="$STATION/run" QT_QPA_PLATFORM=xcb "$VSA_SIM" & sim=$!
trap 'kill -TERM $pid $sim 2>/dev/null; wait' EXIT
until xwininfo -name "Vector - Keysight 89600 VSA Software (64-bit)" >/dev/null 2>&1; do
    sleep 0.1
done
drive tab 5
drive press 開啟 "VSA 向量信號分析儀設定/量測"
until iconv -c -f CP950 -t UTF-8 Log/*.log | grep -q "\[89600\] 軟體 : 已開啟完成"; do sleep 0.1; done
drive tab 0
drive press 關閉程式
drive wait-question
start=$(date +%s%N)
kill -TERM $pid
while kill -TERM $pid 2>/dev/null; do sleep 0.001; done
wait $pid
echo "$? $((($(date +%s%N) - start) / 1000000))" > exit.txt
)sh";

// Runs the session; its exit status.
int RunSession(const StationDir& dir, const std::string& steps) {
    const std::string station = dir.path();
    { std::ofstream(station + "/session.sh") << kStart << steps; }
    const std::string command =
        "cd " + station + " && STATION=" + station +
        " VANTU=" VANTU_BINARY " VSA_SIM=" VANTU_VSA_SIM_BINARY " SCRIPTS=" VANTU_SCRIPTING_EXAMPLES
        " PORT=" +
        std::to_string(FreeLoopbackPort()) +
        // The accessibility bus's socket goes to the session's own runtime directory,
        // not to ~/.cache where a concurrent session would replace it.
        " XDG_RUNTIME_DIR=" + dir.runtime() +
        " timeout 150 dbus-run-session -- xvfb-run -a -s '-screen 0 1920x1080x24' bash session.sh";
    return std::system(command.c_str());
}

// Then a card that goes silent for a few seconds and comes back: the window lives
// through it, hatches its marks and strikes the data age while stale, answers PS during
// and after, and draws the report again when the card answers. Then a page behind its
// tab is drawn when chosen, and a radio button's Toggle action changes its view.
constexpr const char* kStaleSteps = R"sh(
ps_done() {
    exec 3<>"/dev/tcp/127.0.0.1/$PORT" && printf 'PS\r' >&3 && timeout 5 head -c 8 <&3 | tr '\r' '.'
    exec 3<&-
}
wait_for() {
    for attempt in $(seq 600); do
        kill -0 $pid || exit 5
        out=$(/usr/bin/python3 "$READER" 2>>reader-errors.txt)
        case "$out" in $1) echo "$out" >> seen.txt; return 0 ;; esac
        sleep 0.1
    done
    exit 6
}
drive() { /usr/bin/python3 "$SCRIPTS/drive_window.py" "$@" 2>>reader-errors.txt || exit 4; }
wait_for 'age=資料過期*stale_marks=[1-9]*'
echo "during: $(ps_done)" >> seen.txt
wait_for 'age=資料時間*stale_marks=0'
echo "after: $(ps_done)" >> seen.txt
drive tab 1
drive wait-text "TRM  綜整狀態"
drive toggle " 溫度 狀態   TM4"
drive wait-text "TRM 溫度狀態 ( °C )" && echo "toggled" >> seen.txt
)sh";

// One session: the main page read, the silent card lived through, and SIGTERM with the
// questions open.
TEST(AccessibilityE2e, ReadThroughASilentCardAndStoppedWithQuestionsOpen) {
    if (std::system("timeout 20 dbus-run-session -- true >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no session bus can start here (dbus-run-session failed)";
    }
    StationDir dir;
    std::string simulation = ReadFile(dir.File("simulation.ini"));
    simulation.insert(simulation.find("\n[SCENARIO]") + 11, "\r\nSILENT=10-16 CARD-SILENT");
    std::ofstream(dir.File("simulation.ini"), std::ios::trunc) << simulation;
    ASSERT_EQ(RunSession(dir, kRead + std::string("READER=" VANTU_STALE_READER "\n") + kStaleSteps +
                                  kSignalWithQuestionOpen),
              0)
        << ReadFile(dir.File("stderr.txt")) << ReadFile(dir.File("reader-errors.txt"));
    const std::string read = ReadFile(dir.File("read.txt"));
    for (const char* line : {"tabs: 主頁面 |", "| 信號分析儀 |", "fault total: SLB DTRM = ",
                             "fault total: 主天線 = ", "cell 30,50: text='' tooltip='模組 : "}) {
        EXPECT_NE(read.find(line), std::string::npos) << line << "\n" << read;
    }
    const std::string seen = ReadFile(dir.File("seen.txt"));
    for (const char* line : {"during: PS_DONE.", "after: PS_DONE.", "toggled"}) {
        EXPECT_NE(seen.find(line), std::string::npos) << line << "\n" << seen;
    }
    int status = -1;
    int milliseconds = -1;
    std::istringstream(ReadFile(dir.File("exit.txt"))) >> status >> milliseconds;
    EXPECT_EQ(status, 0);
    // The shutdown's own waits are well under a second; nothing waits for a click.
    EXPECT_LT(milliseconds, 5000);
    // The open close question and the shutdown's analyzer question, both answered No.
    const std::string errors = ReadFile(dir.File("stderr.txt"));
    EXPECT_NE(errors.find("vantu: question: 您確定要關閉"), std::string::npos) << errors;
    EXPECT_NE(errors.find("vantu: question: 偵測 VSA"), std::string::npos) << errors;
    std::size_t answered = 0;
    for (std::size_t at = 0; (at = errors.find("[No]\n", at)) != std::string::npos; ++at) {
        ++answered;
    }
    EXPECT_EQ(answered, 2u) << errors;
    EXPECT_EQ(LastLogMessage(dir.log_path()), "[TCP] 伺服器通訊 : 已關閉");
}

}  // namespace
}  // namespace vantu::testing
