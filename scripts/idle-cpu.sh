#!/usr/bin/env bash
# The windowed station's CPU use at rest, tab by tab: `vantu --simulate` on an Xvfb
# screen inside its own session bus with accessibility on, in a fresh copy of
# examples/station (its own HOME, XDG_RUNTIME_DIR and remote port). Each tab is chosen
# over AT-SPI, left 5 s to settle, then the station's CPU time is read over 30 s with
# nothing else talking to it. Prints the percentage of one core per tab and exits 1
# when a tab is at 1 % or more.
#
# Usage: scripts/idle-cpu.sh [--seconds N]   BUILD_DIR picks the build (default build/)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build}"
[[ -x "$BUILD/src/gui/vantu" ]] ||
    { echo "idle-cpu.sh: no $BUILD/src/gui/vantu; build first (scripts/build.sh)" >&2; exit 2; }

RUNTIME="$(mktemp -d)"
trap 'rm -rf "$RUNTIME"' EXIT
XDG_RUNTIME_DIR="$RUNTIME" dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24" \
    /usr/bin/python3 "$ROOT/scripts/idle_cpu_run.py" --vantu "$BUILD/src/gui/vantu" \
    --example "$ROOT/examples/station" "$@"
