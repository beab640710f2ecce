#!/usr/bin/env bash
# Builds the station and starts it on the simulated chassis in a fresh copy of the
# example station directory. Extra arguments go to vantu (e.g. --headless).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

"$ROOT/scripts/setup-deps.sh"
"$ROOT/scripts/build.sh" "$ROOT/build"

STATION="$(mktemp -d "${TMPDIR:-/tmp}/vantu-station-XXXXXX")"
cp -r "$ROOT/examples/station/." "$STATION/"
echo "Station directory: $STATION"
cd "$STATION"

ARGS=(--simulate "$@")
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && ! " $* " =~ " --headless " ]]; then
    echo "No display: starting the window under Xvfb (or pass --headless)."
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$ROOT/build/src/gui/vantu" "${ARGS[@]}"
fi
exec "$ROOT/build/src/gui/vantu" "${ARGS[@]}"
