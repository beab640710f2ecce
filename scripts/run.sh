#!/usr/bin/env bash
# Builds the station and starts it on the simulated chassis in a fresh copy of the
# example station directory, or in the one given.
# Usage: scripts/run.sh [--station DIR] [vantu options, e.g. --headless]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

STATION=""
ARGS=(--simulate)
while (($#)); do
    if [[ "$1" == "--station" && $# -ge 2 ]]; then
        STATION="$2"
        shift 2
    else
        ARGS+=("$1")
        shift
    fi
done

"$ROOT/scripts/setup-deps.sh" --run
# Only the programs: tests and benchmarks are scripts/test.sh's.
"$ROOT/scripts/build.sh" "$ROOT/build" -DVANTU_TESTS=OFF -DVANTU_BENCH=OFF

if [[ -z "$STATION" ]]; then
    STATION="$(mktemp -d "${TMPDIR:-/tmp}/vantu-station-XXXXXX")"
    cp -r "$ROOT/examples/station/." "$STATION/"
fi
echo "Station directory: $STATION"
VANTU=("$ROOT/build/src/gui/vantu" --station "$STATION" "${ARGS[@]}")

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && ! " ${ARGS[*]} " =~ " --headless " ]]; then
    echo "No display: starting the window under Xvfb (or pass --headless)."
    # xvfb-run picks a free display; the station's shell says which, and how to look.
    exec xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
        echo "Xvfb display: $DISPLAY (XAUTHORITY=$XAUTHORITY)"
        echo "Screenshot: DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY import -window root shot.png"
        echo "  (import is ImageMagick'"'"'s, installed by scripts/setup-deps.sh for the tests)"
        exec "$@"' vantu-xvfb "${VANTU[@]}"
fi
exec "${VANTU[@]}"
