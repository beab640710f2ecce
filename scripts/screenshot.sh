#!/usr/bin/env bash
# Takes a picture of the real station window: `vantu --simulate` in a fresh copy of
# examples/station, with its own HOME and runtime directory, on a 1920x1080 Xvfb
# screen, captured once the main page shows the card's report.
#
# Usage: scripts/screenshot.sh [--tab N] [--click X,Y ...] [--key KEY] [--menu X,Y] [--wait S]
#                              [--scale F] [--station DIR] [OUTPUT]
#   --tab N    select tab N (0-6) before the picture; 0, the main page, by default
#   --click X,Y left-click the window at X,Y (pixels at scale 1) once the tab shows;
#              repeat for more clicks, made in order before the wait
#   --key KEY  press KEY on that tab: xdotool key names, blank-separated ("ctrl+t",
#              "ctrl+a 1 0 0 Tab")
#   --menu X,Y right-click the window at X,Y (pixels at scale 1) and choose the first
#              entry of the context menu that opens, after the wait and before KEY
#   --wait S   let the station run S more seconds before the picture
#   --scale F  draw at F device pixels per pixel (QT_SCALE_FACTOR) on a screen F times
#              as large; 1 by default
#   --station DIR  run a copy of DIR instead of examples/station
#   OUTPUT     the PNG to write; docs/main-page.png by default
# BUILD_DIR picks the build directory.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

usage() {
    sed -n 's/^# \{0,1\}//; 6,20p' "${BASH_SOURCE[0]}"
}

TAB=0
KEY=""
MENU=""
CLICKS=""
WAIT=0
SCALE=1
STATION_DIR="$ROOT/examples/station"
OUTPUT=""
while (($# > 0)); do
    case "$1" in
        --tab)
            [[ $# -ge 2 ]] || { echo "screenshot.sh: --tab needs a tab number" >&2; exit 1; }
            TAB="$2"
            shift 2
            ;;
        --key)
            [[ $# -ge 2 ]] || { echo "screenshot.sh: --key needs a key name" >&2; exit 1; }
            KEY="$2"
            shift 2
            ;;
        --click)
            [[ $# -ge 2 && "$2" =~ ^[0-9]+,[0-9]+$ ]] || {
                echo "screenshot.sh: --click needs a window point X,Y" >&2
                exit 1
            }
            CLICKS="$CLICKS $2"
            shift 2
            ;;
        --menu)
            [[ $# -ge 2 && "$2" =~ ^[0-9]+,[0-9]+$ ]] || {
                echo "screenshot.sh: --menu needs a window point X,Y" >&2
                exit 1
            }
            MENU="$2"
            shift 2
            ;;
        --wait)
            [[ $# -ge 2 && "$2" =~ ^[0-9]+$ ]] || { echo "screenshot.sh: --wait needs seconds" >&2; exit 1; }
            WAIT="$2"
            shift 2
            ;;
        --scale)
            [[ $# -ge 2 ]] || { echo "screenshot.sh: --scale needs a factor" >&2; exit 1; }
            SCALE="$2"
            shift 2
            ;;
        --station)
            [[ $# -ge 2 && -d "$2" ]] || { echo "screenshot.sh: --station needs a station directory" >&2; exit 1; }
            STATION_DIR="$2"
            shift 2
            ;;
        -h | --help)
            usage
            exit 0
            ;;
        -*)
            echo "screenshot.sh: unknown option $1" >&2
            exit 1
            ;;
        *)
            [[ -z "$OUTPUT" ]] || { echo "screenshot.sh: one output file only" >&2; exit 1; }
            OUTPUT="$1"
            shift
            ;;
    esac
done
if [[ ! "$TAB" =~ ^[0-6]$ ]]; then
    echo "screenshot.sh: the tab is a number from 0 to 6, not '$TAB'" >&2
    exit 1
fi
if [[ ! "$SCALE" =~ ^[1-4]$ ]]; then
    echo "screenshot.sh: the scale is a whole number from 1 to 4, not '$SCALE'" >&2
    exit 1
fi
OUTPUT="$(realpath -m "${OUTPUT:-$ROOT/docs/main-page.png}")"
BUILD="${BUILD_DIR:-$ROOT/build}"

"$ROOT/scripts/setup-deps.sh"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target vantu

WORK="$(mktemp -d "${TMPDIR:-/tmp}/vantu-shot-XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/station" "$WORK/home" "$WORK/run" "$(dirname "$OUTPUT")"
chmod 700 "$WORK/run"
cp -r "$STATION_DIR/." "$WORK/station/"

# Runs on the Xvfb display: start the station, wait for its window and its first
# full main page, pick the tab, take the picture, stop the station.
SHOOT='
set -euo pipefail
cd "$WORK/station"
"$VANTU" --simulate --port "$PORT" 2>"$WORK/stderr.txt" &
STATION=$!
stop_station() {
    kill -TERM "$STATION" 2>/dev/null || true
    wait "$STATION" || true
}
trap stop_station EXIT
WINDOW="$(timeout 30 xdotool search --sync --name "^VANTU V1\.3$" | head -n 1)"
if ! timeout 30 bash -c "until grep -q \"main page shows\" \"$WORK/stderr.txt\"; do
                             kill -0 $STATION || exit 1; sleep 0.1; done"; then
    echo "screenshot.sh: the station did not show its main page:" >&2
    cat "$WORK/stderr.txt" >&2
    exit 1
fi
if ((TAB > 0)); then
    xdotool windowfocus --sync "$WINDOW"
    for ((i = 0; i < TAB; ++i)); do
        xdotool key --clearmodifiers ctrl+Tab
    done
    # The other pages draw on their own timers, first 1 s after they are shown and
    # without a line to wait on.
    sleep 2
fi
for CLICK in $CLICKS; do
    xdotool mousemove --window "$WINDOW" --sync $((${CLICK%,*} * QT_SCALE_FACTOR)) $((${CLICK#*,} * QT_SCALE_FACTOR))
    xdotool click 1
    sleep 1
done
# The report keeps coming while the station runs: faults and temperatures to show.
sleep "$WAIT"
if [[ -n "$MENU" ]]; then
    # The menu grabs the keyboard while it is open: Down reaches its first entry.
    xdotool mousemove --window "$WINDOW" --sync $((${MENU%,*} * QT_SCALE_FACTOR)) $((${MENU#*,} * QT_SCALE_FACTOR))
    xdotool click 3
    sleep 1
    xdotool key --clearmodifiers Down Return
    sleep 2
fi
if [[ -n "$KEY" ]]; then
    xdotool windowfocus --sync "$WINDOW"
    # shellcheck disable=SC2086 # each blank-separated name is one key
    xdotool key --clearmodifiers $KEY
    sleep 2
fi
import -window root "$OUTPUT"
'

PORT=$((20000 + RANDOM % 20000))
HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$SCALE" \
    WORK="$WORK" VANTU="$BUILD/src/gui/vantu" PORT="$PORT" TAB="$TAB" KEY="$KEY" MENU="$MENU" CLICKS="$CLICKS" WAIT="$WAIT" OUTPUT="$OUTPUT" \
    xvfb-run -a -s "-screen 0 $((1920 * SCALE))x$((1080 * SCALE))x24" bash -c "$SHOOT"
echo "Station picture: $OUTPUT"
