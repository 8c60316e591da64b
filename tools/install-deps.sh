#!/usr/bin/env bash
# Installs the Debian 12 packages Velmora needs to build, run and test.
# This script owns the package list; nothing else installs packages.
# --authoring also installs the tools that regenerate the committed sound
# recordings (tools/make-sounds.sh); building and testing never need them.
# --atspi is kept for older callers: what tools/atspi-check.sh needs is in
# the list now, with the screen reader and speech service that
# tools/screenreader-check.sh runs (a test of the suite).
set -euo pipefail

packages=(
    build-essential
    ccache
    cmake
    ninja-build
    pkg-config
    qt6-base-dev
    qt6-multimedia-dev
    libcurl4-openssl-dev
    libfontconfig-dev
    libgtest-dev
    libbenchmark-dev
    liblz4-dev
    fonts-dejavu-core
    desktop-file-utils
    appstream
    dpkg-dev
    debhelper
    lintian
    clang
    libclang-rt-14-dev
    xvfb
    libxcb1-dev
    avahi-daemon
    dbus-daemon
    iproute2
    libnatpmp-dev
    libminiupnpc-dev
    at-spi2-core
    dbus
    python3-pyatspi
    xdotool
    x11-utils
    orca
    speech-dispatcher
)
for arg in "$@"; do
    case "$arg" in
        --authoring) packages+=(espeak-ng sox) ;;
        --atspi) ;;
        *) echo "install-deps: unknown option $arg (known: --authoring, --atspi)" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
