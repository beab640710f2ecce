// The real window read from outside, as a screen reader or a test script reads it:
// over the accessibility bus, with the example reader of docs/scripting-the-gui.md.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "station_process.h"

namespace vantu::testing {
namespace {

// Runs on the Xvfb display inside its own session bus: the station with accessibility
// on, polled until its main page shows and it answers on the bus.
constexpr const char* kSession = R"(
set -u
cd "$STATION"
mkdir -p home run && chmod 700 run
HOME="$STATION/home" XDG_RUNTIME_DIR="$STATION/run" QT_QPA_PLATFORM=xcb \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$VANTU" --simulate --port "$PORT" 2>stderr.txt &
pid=$!
trap 'kill -TERM $pid; wait $pid' EXIT
until grep -q "main page shows" stderr.txt; do kill -0 $pid || exit 3; sleep 0.1; done
for attempt in $(seq 100); do
    /usr/bin/python3 "$READER" > read.txt 2> reader-errors.txt && exit 0 || sleep 0.1
done
exit 4
)";

TEST(AccessibilityE2e, TabsFaultTotalsAndAGridCellAreReadOverTheBus) {
    if (std::system("timeout 20 dbus-run-session -- true >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no session bus can start here (dbus-run-session failed)";
    }
    StationDir dir;
    const std::string station = dir.path();
    { std::ofstream(station + "/session.sh") << kSession; }
    const std::string command =
        "cd " + station + " && STATION=" + station +
        " VANTU=" VANTU_BINARY " READER=" + VANTU_ATSPI_READER +
        " PORT=" + std::to_string(FreeLoopbackPort()) +
        " timeout 90 dbus-run-session -- xvfb-run -a -s '-screen 0 1920x1080x24' bash session.sh";
    ASSERT_EQ(std::system(command.c_str()), 0)
        << ReadFile(station + "/stderr.txt") << ReadFile(station + "/reader-errors.txt");

    const std::string read = ReadFile(station + "/read.txt");
    for (const char* line : {"tabs: 主頁面 |", "| 信號分析儀 |", "fault total: SLB DTRM = ",
                             "fault total: 主天線 = ", "cell 30,50: text='' tooltip='模組 : "}) {
        EXPECT_NE(read.find(line), std::string::npos) << line << "\n" << read;
    }
}

// A card that goes silent for a few seconds and comes back: the window lives through
// it, hatches its marks and strikes the data age while stale, answers PS during and
// after, and draws the report again when the card answers.
constexpr const char* kStaleSession = R"sh(
set -u
cd "$STATION"
mkdir -p home run && chmod 700 run
sed -i 's/^\[SCENARIO\]/[SCENARIO]\r\nSILENT=10-16 CARD-SILENT/' simulation.ini
HOME="$STATION/home" XDG_RUNTIME_DIR="$STATION/run" QT_QPA_PLATFORM=xcb \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$VANTU" --simulate --port "$PORT" 2>stderr.txt &
pid=$!
trap 'kill -KILL $pid' EXIT
until grep -q "main page shows" stderr.txt; do kill -0 $pid || exit 3; sleep 0.1; done
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
wait_for 'age=資料過期*stale_marks=[1-9]*'
echo "during: $(ps_done)" >> seen.txt
wait_for 'age=資料時間*stale_marks=0'
echo "after: $(ps_done)" >> seen.txt
trap - EXIT
kill -TERM $pid
wait $pid
echo "exit: $?" >> seen.txt
)sh";

TEST(AccessibilityE2e, ASilentCardIsLivedThroughAndShownStale) {
    if (std::system("timeout 20 dbus-run-session -- true >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no session bus can start here (dbus-run-session failed)";
    }
    StationDir dir;
    const std::string station = dir.path();
    { std::ofstream(station + "/session.sh") << kStaleSession; }
    const std::string command =
        "cd " + station + " && STATION=" + station +
        " VANTU=" VANTU_BINARY " READER=" VANTU_STALE_READER " PORT=" +
        std::to_string(FreeLoopbackPort()) +
        " timeout 150 dbus-run-session -- xvfb-run -a -s '-screen 0 1920x1080x24' bash session.sh";
    EXPECT_EQ(std::system(command.c_str()), 0)
        << ReadFile(station + "/stderr.txt") << ReadFile(station + "/reader-errors.txt");
    const std::string seen = ReadFile(station + "/seen.txt");
    for (const char* line : {"during: PS_DONE.", "after: PS_DONE.", "exit: 0"}) {
        EXPECT_NE(seen.find(line), std::string::npos) << line << "\n" << seen;
    }
}

}  // namespace
}  // namespace vantu::testing
