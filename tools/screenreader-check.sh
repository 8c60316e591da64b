#!/usr/bin/env bash
# Plays the solo game with a real screen reader listening and checks what it
# said (tools/screenreader-check.py). Everything runs private to this check:
# a session bus, the desktop's accessibility bus, a virtual screen, a speech
# service whose only voice appends each spoken text to a file, and Orca on
# top; every process it starts is ended when it ends, and the whole check is
# bounded in time. Needs the packages of `install-deps.sh` (Orca and
# speech-dispatcher are in its list).
# Usage: tools/screenreader-check.sh [--skip CHECK]... [path/to/velmora]
# (checks: control offer options turn words chat)
# SCREENREADER_KEEP=DIR keeps the speech log and the programs' output there.
set -euo pipefail
# The game listens on fixed ports: a network of its own (loopback only) lets
# several checks, and a game someone plays, run at once.
if [ -z "${SCREENREADER_IN_NETNS:-}" ] && unshare --net true 2>/dev/null; then
    exec env SCREENREADER_IN_NETNS=1 unshare --net "$0" "$@"
fi
[ -n "${SCREENREADER_IN_NETNS:-}" ] && ip link set lo up
here=$(cd "$(dirname "$0")" && pwd)
skips=()
while [ $# -gt 0 ] && [ "$1" = --skip ]; do
    skips+=(--skip "$2")
    shift 2
done
game=$(realpath "${1:-build/src/app/velmora}")
[ -x "$game" ] || { echo "screenreader-check: no game at $game" >&2; exit 2; }
for tool in orca speech-dispatcher Xvfb xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "screenreader-check: $tool is missing (tools/install-deps.sh)" >&2; exit 2; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

session() {
    set -euo pipefail
    pids=() # not local: the exit trap ends them after this function has returned
    finish() {
        local pid
        for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
        for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    }
    trap finish EXIT
    export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
    export XDG_CACHE_HOME=$scratch/cache XDG_RUNTIME_DIR=$scratch/run GSETTINGS_BACKEND=memory
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    local log=$scratch/log
    mkdir -p "$log"

    # A free display of its own: several checks may run at once.
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$scratch/display" 2>"$log/xvfb.txt" &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
    [ -s "$scratch/display" ] || { echo "screenreader-check: Xvfb did not start" >&2; return 2; }
    export DISPLAY=:$(cat "$scratch/display")

    /usr/libexec/at-spi-bus-launcher --launch-immediately 2>"$log/atspi.txt" &
    pids+=($!)

    # The speech service: the system's settings (punctuation read as words
    # included), with a voice that writes instead of sounding.
    local speech=$scratch/speechd spoken=$scratch/spoken.txt
    mkdir -p "$speech/modules"
    : >"$spoken"
    grep -E '^(SymbolsPreproc|Include|DefaultVolume)' /etc/speech-dispatcher/speechd.conf >"$speech/speechd.conf" || true
    sed -i "s|^Include \"|Include \"/etc/speech-dispatcher/|" "$speech/speechd.conf"
    cat >>"$speech/speechd.conf" <<EOF
AddModule "logger" "sd_generic" "logger.conf"
DefaultModule logger
AudioOutputMethod "alsa"
AudioALSADevice "null"
EOF
    cat >"$speech/modules/logger.conf" <<EOF
GenericExecuteSynth "echo \'\$DATA\' >> $spoken"
GenericCmdDependency "echo"
AddVoice "en" "MALE1" "default"
EOF
    speech-dispatcher --run-single --timeout 0 --config-dir "$speech" --log-dir "$log" \
        --pid-file "$scratch/speechd.pid" >"$log/speechd.txt" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] && break; sleep 0.1; done

    # Orca, started from this helper rather than its own launcher: that one
    # would stop (or kill) any other Orca of this user on the machine.
    /usr/bin/python3 "$here/screenreader-check.py" --orca "$log/orca-debug.txt" >"$log/orca.txt" 2>&1 &
    pids+=($!)

    local status=0
    /usr/bin/python3 "$here/screenreader-check.py" "${skips[@]}" --game "$game" --spoken "$spoken" \
        --log "$log" || status=$?
    if [ -n "${SCREENREADER_KEEP:-}" ]; then
        mkdir -p "$SCREENREADER_KEEP"
        cp -r "$log/." "$spoken" "$SCREENREADER_KEEP/"
    fi
    return $status
}
export -f session
export here game scratch
export SKIPS="${skips[*]:-}"

# The bus session and everything in it end within three minutes whatever happens.
timeout --kill-after=10 170 dbus-run-session -- bash -c 'skips=($SKIPS); session' 
