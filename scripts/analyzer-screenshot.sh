#!/usr/bin/env bash
# Takes the picture of the signal-analyzer page shown in README: the real station
# window on the simulated chassis under Xvfb, the generator opened with RF on, the
# stand-in analyzer launched by the page's open button and placed over its frame,
# and a trigger measurement running. Writes docs/analyzer-page.png, or the path given.
# The clicks use the page's layout on a 1920x1080 screen.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUTPUT="$(realpath -m "${1:-$ROOT/docs/analyzer-page.png}")"
BUILD="${BUILD_DIR:-$ROOT/build}"

"$ROOT/scripts/setup-deps.sh"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target vantu vantu-vsa-sim

WORK="$(mktemp -d "${TMPDIR:-/tmp}/vantu-shot-XXXXXX")"
cp -r "$ROOT/examples/station" "$WORK/station"
mkdir -p "$WORK/home" "$WORK/run"
chmod 700 "$WORK/run"
LOG="$WORK/station/Log/$(date +%Y-%-m-%-d).log"

# Waits until the command succeeds, for at most $1 seconds.
wait_for() {
    local seconds=$1
    shift
    for ((i = 0; i < seconds * 10; i++)); do
        if "$@" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    echo "analyzer-screenshot: timed out waiting for: $*" >&2
    return 1
}
logged() { iconv -f CP950 -t UTF-8 "$LOG" | grep -qF "$1"; }

DISPLAY_NUMBER=97
Xvfb ":$DISPLAY_NUMBER" -screen 0 1920x1080x24 -nolisten tcp &
XVFB=$!
STATION=""
cleanup() {
    if [[ -n "$STATION" ]]; then
        kill "$STATION" 2>/dev/null || true
        wait "$STATION" 2>/dev/null || true
    fi
    kill "$XVFB" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT
export DISPLAY=":$DISPLAY_NUMBER"
wait_for 10 xdotool getdisplaygeometry

PORT="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
(cd "$WORK/station" && HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run" QT_QPA_PLATFORM=xcb \
    exec "$BUILD/src/gui/vantu" --simulate --port "$PORT") &
STATION=$!
wait_for 20 xdotool search --name '^VANTU V1.3$'
wait_for 20 logged "[TCP] 伺服器 : 已開啟備便"

click() { xdotool mousemove "$1" "$2" click 1; }
click 580 14                       # tab "   信號分析儀   "
click 357 103                      # generator "開啟"
wait_for 10 logged "[VSG]- 初始化完成"
click 490 103                      # "啟用": RF on
wait_for 10 logged "RF Output : ON "
click 92 161                       # analyzer "開啟": launches OP_89600vsa.sh
wait_for 40 logged "[89600] 軟體 : 開啟完成"
click 490 161                      # "量測": trigger measurement
wait_for 10 logged "[89600] 量測 : 啟用軟體觸發量測功能"
# Marker 2 moves onto the carrier's flank over TCP, as a test computer would set it.
python3 - "$PORT" <<'PY'
import socket, sys
with socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=10) as client:
    for line, replies in (("VSA_SET_MRK2_FREQ 2402.5 MHz", 1), ("VSA_RD", 2)):
        client.sendall(line.encode() + b"\r")
        data = b""
        while data.count(b"\r") < replies:
            data += client.recv(4096)
        print(data.decode().replace("\r", "\n"), end="")
PY
# Timer 6 reads the markers every 500 ms; the stand-in logs each read while it
# measures. Two reads in the log: the boxes show the first one.
reads() { [[ -f "$WORK/station/vsa_measure.log" && $(wc -l <"$WORK/station/vsa_measure.log") -ge 8 ]]; }
wait_for 10 reads
mkdir -p "$(dirname "$OUTPUT")"
import -window root "$OUTPUT"
SIM="$(xdotool search --name '^Vector - Keysight 89600 VSA Software' getwindowpid 2>/dev/null || true)"
[[ -n "$SIM" ]] && kill "$SIM" 2>/dev/null || true
echo "Analyzer page picture: $OUTPUT"
