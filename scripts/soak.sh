#!/usr/bin/env bash
# Soak run of the remote control, outside the normal test run: builds the station and
# the soak program, starts `vantu --headless --simulate` in a copy of the example
# station, then sends 100 000 commands from several clients in turn (partial writes,
# abandoned half commands, displaced clients). Passes when the station still answers,
# holds the same open file descriptors and grew by less than 1 MB. Extra arguments go
# to the soak program:
#   scripts/soak.sh [--commands N] [--clients K] [--seed S]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${VANTU_SOAK_BUILD:-$ROOT/build-soak}"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --parallel "$(nproc)" --target vantu remote_soak

STATION="$(mktemp -d)"
cp -r "$ROOT/examples/station/." "$STATION/"
export HOME="$STATION/home" XDG_RUNTIME_DIR="$STATION/run"
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
PORT=$((20000 + RANDOM % 20000))
(cd "$STATION" && exec "$BUILD/src/gui/vantu" --headless --simulate --port "$PORT" 2>/dev/null) &
STATION_PID=$!
trap 'kill "$STATION_PID" 2>/dev/null || true; wait "$STATION_PID" 2>/dev/null || true; rm -rf "$STATION"' EXIT
for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null && break
    sleep 0.1
done
"$BUILD/bench/remote_soak" --port "$PORT" --pid "$STATION_PID" "$@"
