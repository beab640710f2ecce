#!/usr/bin/env bash
# Takes the picture of the main page shown in README: the station window over the
# simulated chassis after its control code ran for half a minute, drawn under Xvfb.
# Writes docs/main-page.png, or the path given. BUILD_DIR picks the build directory.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUTPUT="$(realpath -m "${1:-$ROOT/docs/main-page.png}")"
BUILD="${BUILD_DIR:-$ROOT/build}"

"$ROOT/scripts/setup-deps.sh"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target vantu_main_page_shot

mkdir -p "$(dirname "$OUTPUT")"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" \
    "$BUILD/src/pages/vantu_main_page_shot" "$ROOT/examples/station" "$OUTPUT"
echo "Main page picture: $OUTPUT"
