#!/usr/bin/env bash
# Builds everything and runs every test; then builds the core once more under
# AddressSanitizer + UndefinedBehaviorSanitizer and runs its tests again; then runs
# each benchmark once, briefly. Exits non-zero on any failure or sanitizer report.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc)"

"$ROOT/scripts/setup-deps.sh"

echo "== build"
"$ROOT/scripts/build.sh" "$ROOT/build"

echo "== benchmarks (one brief run each)"
for bench in "$ROOT"/build/bench/*_bench; do
    [[ -x "$bench" ]] || continue
    "$bench" --benchmark_min_time=0.001 >/dev/null
done

echo "== sanitizer build of the core"
cmake -S "$ROOT" -B "$ROOT/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DVANTU_WITH_QT=OFF -DVANTU_BENCH=OFF -DVANTU_SANITIZE=ON >/dev/null
cmake --build "$ROOT/build-asan" --parallel "$JOBS"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$ROOT/build-asan" --output-on-failure -j "$JOBS"

echo "== tests"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$ROOT/build" --output-on-failure -j "$JOBS"
