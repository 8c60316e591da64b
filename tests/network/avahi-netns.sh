#!/usr/bin/env bash
# Runs a command beside a real avahi-daemon of its own: in a private network
# and mount namespace, with loopback, one veth pair for multicast, a private
# system bus and the daemon on it. DBUS_SYSTEM_BUS_ADDRESS is set for the
# command. Exits 77 (skipped) only when no namespace can be made here.
#   avahi-netns.sh COMMAND [ARG...]
set -euo pipefail

if [ "${VELMORA_IN_NETNS:-}" != 1 ]; then
    if ! unshare --net --mount true 2>/dev/null; then
        echo "SKIPPED: cannot create a private network namespace here (needs root or user namespaces);" \
             "the DNS-SD test needs one to run its own avahi-daemon" >&2
        exit 77
    fi
    exec env VELMORA_IN_NETNS=1 unshare --net --mount --propagation private "$0" "$@"
fi

for tool in avahi-daemon dbus-daemon ip; do
    command -v "$tool" >/dev/null || PATH="$PATH:/usr/sbin:/sbin"
    command -v "$tool" >/dev/null || { echo "avahi-netns: $tool is missing (tools/install-deps.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# The daemon keeps its pid file and socket here: private to this namespace.
mkdir -p /run/avahi-daemon
mount -t tmpfs tmpfs /run/avahi-daemon

ip link set lo up
ip link add v0 type veth peer name v1
ip link set v1 up
ip link set v0 multicast on up
ip addr add 192.0.2.10/24 dev v0

cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system_bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_type="method_return"/>
    <allow send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="signal"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/bus.conf" --nofork --nopidfile 2>"$work/bus.log" &
pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system_bus"

cat >"$work/avahi.conf" <<CONF
[server]
use-ipv4=yes
use-ipv6=no
allow-interfaces=v0
enable-dbus=yes
[publish]
publish-workstation=no
publish-hinfo=no
[reflector]
[rlimits]
CONF
ready=0
for _ in $(seq 100); do
    [ -S "$work/system_bus" ] && { ready=1; break; }
    sleep 0.05
done
[ $ready = 1 ] || { echo "avahi-netns: the private bus did not start" >&2; exit 1; }
avahi-daemon --no-drop-root --no-chroot --no-rlimits --no-proc-title -f "$work/avahi.conf" 2>"$work/avahi.log" &
pids+=($!)

# Ready once the daemon answers on the bus and has an address to announce on.
ready=0
for _ in $(seq 200); do
    state=$(dbus-send --system --print-reply=literal --dest=org.freedesktop.Avahi / \
        org.freedesktop.Avahi.Server.GetState 2>/dev/null || true)
    case "$state" in *"int32 2"*) ready=1; break ;; esac
    sleep 0.05
done
if [ $ready != 1 ]; then
    echo "avahi-netns: avahi-daemon did not become ready:" >&2
    cat "$work/avahi.log" >&2
    exit 1
fi

set +e
"$@"
status=$?
set -e
exit $status
