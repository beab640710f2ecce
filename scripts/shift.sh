#!/usr/bin/env bash
# One operator shift on the real window: `vantu --simulate` on an Xvfb screen, inside
# its own session bus with accessibility on, in a fresh copy of examples/station with
# its own HOME, XDG_RUNTIME_DIR, remote port and [METRICS] PORT, and a stress scenario
# in simulation.ini (every 100 s: a Tx fault burst over 12 modules, a supply drop, a
# chattering Tx fault, the card silent for 15 s; one element overheating throughout;
# few random faults, since every fault and clear stays in the in-memory history).
# For the given minutes (2 by default) it
#   - sends 10 remote commands a second (GET_OPCODE_PARAM, SET_OPCODE_PARAM, PB, PS,
#     PG, and a PL every 5 s) and times each reply,
#   - scrapes /metrics every second,
#   - every 10 s chooses the next tab over AT-SPI, and on the history tab acknowledges
#     the first entry ("確認選取") and, every other visit, all ("全部確認"),
# then stops the station with SIGTERM and prints: crashes (exit status, abort and core
# messages), lost replies, reply latency p50/p99/max of GET_OPCODE_PARAM,
# SET_OPCODE_PARAM and PB, which run outside the fixed waits of the handlers (PS, PG
# and PL wait 10-500 ms by design: their figures are printed apart), RSS and open file
# descriptors after the warm-up (every tab shown once, the client connected, the first
# scrape answered) and at the end with the history entries recorded meanwhile, CPU
# time used, and whether each acknowledged entry showed as acknowledged.
# Exits 1 on a crash, a lost reply or RSS growth over 5 MB; the station directory is
# kept then, for its logs.
#
# Usage: scripts/shift.sh [--minutes N]      BUILD_DIR picks the build (default build/)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build}"

MINUTES=2
while (($# > 0)); do
    case "$1" in
        --minutes)
            [[ $# -ge 2 && "$2" =~ ^[0-9]+([.][0-9]+)?$ ]] ||
                { echo "shift.sh: --minutes needs a number" >&2; exit 2; }
            MINUTES="$2"
            shift 2
            ;;
        *)
            echo "usage: scripts/shift.sh [--minutes N]" >&2
            exit 2
            ;;
    esac
done
[[ -x "$BUILD/src/gui/vantu" ]] ||
    { echo "shift.sh: no $BUILD/src/gui/vantu; build first (scripts/build.sh)" >&2; exit 2; }

# A runtime directory of the session's own: the accessibility bus puts its socket there
# (in ~/.cache otherwise, where another session's bus would take its place).
RUNTIME="$(mktemp -d)"
trap 'rm -rf "$RUNTIME"' EXIT
XDG_RUNTIME_DIR="$RUNTIME" dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24" \
    /usr/bin/python3 "$ROOT/scripts/shift_run.py" --minutes "$MINUTES" \
    --vantu "$BUILD/src/gui/vantu" --example "$ROOT/examples/station"
