#!/usr/bin/env bash
# Builds the .deb from the build tree, unpacks it into a scratch root as dpkg would
# install it, and runs the programs from there. Usage: deb_package_test.sh BUILD_DIR
set -euo pipefail
BUILD="$1"
SCRATCH="$(mktemp -d)"
trap 'rm -rf "$SCRATCH"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack --config "$BUILD/CPackConfig.cmake" -B "$SCRATCH/out" >"$SCRATCH/cpack.log" ||
    { cat "$SCRATCH/cpack.log" >&2; fail "cpack"; }
debs=("$SCRATCH"/out/vantu_*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "expected one vantu_*.deb, got: ${debs[*]}"
ROOT="$SCRATCH/root"
dpkg -x "${debs[0]}" "$ROOT"

# Programs run from the scratch root and are the ones of this build.
[[ "$("$ROOT/usr/bin/vantu" --version)" == "$("$BUILD/src/gui/vantu" --version)" ]] ||
    fail "vantu --version differs from the build's"
"$ROOT/usr/bin/vantu-card" --help >"$SCRATCH/card-help" || fail "vantu-card --help exit $?"
cmp -s "$SCRATCH/card-help" <("$BUILD/src/tools/vantu-card" --help) ||
    fail "vantu-card --help differs from the build's"

# Every program has its man page; the station's files are where the system looks.
programs=(vantu vantu-card vantu-pattern vantu-remote vantu-monitor vantu-vsa-sim)
for program in "${programs[@]}"; do
    [[ -x "$ROOT/usr/bin/$program" ]] || fail "usr/bin/$program missing or not executable"
    gzip -t "$ROOT/usr/share/man/man1/$program.1.gz" 2>/dev/null || fail "no man page for $program"
done
expected_files=(
    usr/lib/udev/rules.d/70-vantu-pxiectrl.rules
    usr/share/applications/vantu.desktop
    usr/share/icons/hicolor/scalable/apps/vantu.svg
    usr/share/vantu/station/setup.ini
    usr/share/vantu/station/simulation.ini
    "usr/share/vantu/station/SP Pattern/beam_full.cfg"
    "usr/share/vantu/station/Recall Setup/wlan_2g4.setx"
    usr/share/doc/vantu/copyright
    usr/share/doc/vantu/changelog.gz
    lib/systemd/system/vantu-headless@.service
)
for file in "${expected_files[@]}"; do
    [[ -f "$ROOT/$file" ]] || fail "$file missing"
done
[[ -d "$ROOT/usr/share/vantu/station/Log" ]] || fail "the example station has no Log folder"
[[ -x "$ROOT/usr/share/vantu/station/OP_89600vsa.sh" ]] ||
    fail "the example station's OP_89600vsa.sh lost its execute bit"
[[ "$(ls "$ROOT/usr/bin")" == "$(printf '%s\n' "${programs[@]}" | sort)" ]] ||
    fail "usr/bin holds other files: $(ls "$ROOT/usr/bin" | tr '\n' ' ')"

# Libraries found by dpkg-shlibdeps plus what is loaded by name.
depends="$(dpkg-deb -f "${debs[0]}" Depends)"
for package in libc6 libqt6widgets6 libqt6network6 qt6-qpa-plugins fonts-noto-cjk adduser; do
    [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done
dpkg-deb --ctrl-tarfile "${debs[0]}" | tar -t | grep -qx './postinst' || fail "no postinst"
[[ ", $depends," == *", fonts-noto-cjk | fonts-arphic-uming,"* ]] ||
    fail "the CJK font has no smaller alternative: $depends"

# No lintian error or warning (informational tags are allowed).
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "${debs[0]}" >&2 || fail "lintian"
fi
