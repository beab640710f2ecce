#!/usr/bin/env bash
# The whole-antenna refresh on Xvfb twice: without accessibility (no session bus),
# then inside a private session bus with Qt's AT-SPI bridge on and a pyatspi client
# listening to every object event. Prints both runs; the second should stay within
# 1.2 times the first.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BENCH="${BUILD_DIR:-$ROOT/build}/bench/accessibility_bench"
[[ -x "$BENCH" ]] || { echo "bench-accessibility.sh: build the accessibility_bench target first" >&2; exit 1; }

echo "== without accessibility"
xvfb-run -a env -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb "$BENCH" "$@"

LISTEN='
import pyatspi
pyatspi.Registry.registerEventListener(lambda event: None, "object")
pyatspi.Registry.start()
'
echo "== with the accessibility bus and a listening client"
BENCH="$BENCH" LISTEN="$LISTEN" dbus-run-session -- xvfb-run -a bash -c '
    /usr/bin/python3 -c "$LISTEN" &
    listener=$!
    trap "kill $listener" EXIT
    QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$BENCH" "$@"' bench "$@"
