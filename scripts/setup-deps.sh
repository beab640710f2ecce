#!/usr/bin/env bash
# Installs the Debian packages the station builds and tests with; with --run only what
# building and running it needs. Fast when they are already there; needs root (or
# sudo) only when something is missing.
set -euo pipefail

RUN_PACKAGES=(
    cmake ninja-build g++ pkg-config dpkg-dev libsystemd-dev zlib1g-dev
    qt6-base-dev qt6-base-dev-tools
    qt6-charts-dev libqt6opengl6-dev
    fonts-noto-cjk xvfb xauth
    qt6-translations-l10n
)
TEST_PACKAGES=(
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    imagemagick xdotool x11-utils libx11-dev
    dbus at-spi2-core python3-pyatspi
    lintian prometheus
)

PACKAGES=("${RUN_PACKAGES[@]}")
if [[ "${1:-}" != "--run" ]]; then
    PACKAGES+=("${TEST_PACKAGES[@]}")
fi

missing=()
for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [[ $(id -u) -ne 0 ]]; then
        SUDO="sudo"
    fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
