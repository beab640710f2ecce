#!/usr/bin/env bash
# Soak run of the remote control, outside the normal test run: builds the station and
# the soak program, then sends 100 000 commands from several clients in turn (partial
# writes, abandoned half commands, displaced clients) to `vantu --headless --simulate`.
# Passes when the station still answers, holds the same open file descriptors and grew
# by less than 1 MB. Extra arguments go to the soak program:
#   scripts/soak.sh [--commands N] [--clients K] [--seed S]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${VANTU_SOAK_BUILD:-$ROOT/build-soak}"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTU_BENCH=OFF >/dev/null
cmake --build "$BUILD" --parallel "$(nproc)" --target vantu remote_soak
exec "$BUILD/tests/e2e/remote_soak" "$@"
