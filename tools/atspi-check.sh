#!/usr/bin/env bash
# Starts the solo game on a virtual screen with its own session bus and the
# desktop's accessibility bus, and checks it as a screen reader meets it
# (tools/atspi-check.py). Needs the packages of `install-deps.sh --atspi`.
# Usage: tools/atspi-check.sh [path/to/velmora]
set -euo pipefail
game=${1:-build/src/app/velmora}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

exec dbus-run-session -- bash -c '
    set -euo pipefail
    game=$1; here=$2; scratch=$3
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    launcher=$!
    Xvfb :87 -screen 0 1280x1024x24 -nolisten tcp &
    xvfb=$!
    export DISPLAY=:87 QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    export HOME=$scratch XDG_CONFIG_HOME=$scratch XDG_DATA_HOME=$scratch XDG_RUNTIME_DIR=$scratch
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    "$game" &
    velmora=$!
    status=0
    /usr/bin/python3 "$here/atspi-check.py" ${ATSPI_VERBOSE:+-v} || status=$?
    kill "$velmora" "$xvfb" "$launcher" 2>/dev/null || true
    wait 2>/dev/null || true
    exit $status
' bash "$game" "$here" "$scratch"
