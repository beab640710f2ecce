#!/usr/bin/env bash
# Builds everything and runs every unit and end-to-end test first, so a failure shows
# within minutes; then runs each benchmark once, briefly, builds the core once more
# under AddressSanitizer + UndefinedBehaviorSanitizer and runs its tests again, and
# fuzzes the remote commands, pattern files and setup.ini. Exits non-zero on any
# failure or sanitizer report.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc)"

"$ROOT/scripts/setup-deps.sh"

echo "== build"
"$ROOT/scripts/build.sh" "$ROOT/build" -DVANTU_TESTS=ON -DVANTU_BENCH=ON

echo "== tests"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$ROOT/build" --output-on-failure -j "$JOBS"

echo "== benchmarks (one brief run each)"
for bench in "$ROOT"/build/bench/*_bench; do
    [[ -x "$bench" ]] || continue
    "$bench" --benchmark_min_time=0.001 >/dev/null
done

echo "== remote latency against a running station (one brief run)"
STATION="$(mktemp -d)"
cp -r "$ROOT/examples/station/." "$STATION/"
# Its own profile and instance lock, apart from the user's.
mkdir -p "$STATION/.home" && mkdir -m 700 "$STATION/.run"
PORT=$((20000 + RANDOM % 20000))
(cd "$STATION" && HOME="$STATION/.home" XDG_RUNTIME_DIR="$STATION/.run" \
    exec "$ROOT/build/src/gui/vantu" --headless --simulate --port "$PORT" 2>/dev/null) &
STATION_PID=$!
trap 'kill "$STATION_PID" 2>/dev/null || true; rm -rf "$STATION"' EXIT
for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null && break
    sleep 0.1
done
"$ROOT/build/bench/remote_latency" --port "$PORT" --count 200
kill -TERM "$STATION_PID"
wait "$STATION_PID"
trap - EXIT
rm -rf "$STATION"

echo "== sanitizer build of the core"
cmake -S "$ROOT" -B "$ROOT/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DVANTU_WITH_QT=OFF -DVANTU_BENCH=OFF -DVANTU_SANITIZE=ON >/dev/null
cmake --build "$ROOT/build-asan" --parallel "$JOBS"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$ROOT/build-asan" --output-on-failure -j "$JOBS"

echo "== fuzzing under ASan + UBSan: remote commands 60 s, pattern files and setup.ini 20 s each"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$ROOT/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DVANTU_WITH_QT=OFF -DVANTU_BENCH=OFF -DVANTU_FUZZ=ON >/dev/null
cmake --build "$ROOT/build-fuzz" --parallel "$JOBS" --target fuzz_remote fuzz_pattern fuzz_settings
mkdir -p "$ROOT/build-fuzz/corpus-remote" "$ROOT/build-fuzz/corpus-pattern" \
    "$ROOT/build-fuzz/corpus-settings"
"$ROOT/build-fuzz/fuzz/fuzz_remote" -max_total_time=60 \
    -dict="$ROOT/fuzz/remote.dict" "$ROOT/build-fuzz/corpus-remote" 2>&1 | tail -1
"$ROOT/build-fuzz/fuzz/fuzz_pattern" -max_total_time=20 "$ROOT/build-fuzz/corpus-pattern" 2>&1 |
    tail -1
# New inputs go to the first directory; the example station only seeds the run.
"$ROOT/build-fuzz/fuzz/fuzz_settings" -max_total_time=20 "$ROOT/build-fuzz/corpus-settings" \
    "$ROOT/examples/station" 2>&1 | tail -1
