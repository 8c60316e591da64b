#!/usr/bin/env bash
# Runs a command on a local network of its own: a private network namespace
# with loopback and one veth pair (192.0.2.10 on v0, multicast on), so that
# a test can search by multicast (SSDP) without reaching any real network.
# VELMORA_LAN_ADDRESS is set for the command. Where no namespace can be made
# the command runs as it is, without that variable: its tests on loopback
# run, those needing the private network skip themselves.
#   lan-netns.sh COMMAND [ARG...]
set -euo pipefail

if [ "${VELMORA_IN_NETNS:-}" != 1 ]; then
    if ! unshare --net true 2>/dev/null; then
        echo "lan-netns: cannot create a private network namespace here; running on loopback only" >&2
        exec "$@"
    fi
    exec env VELMORA_IN_NETNS=1 unshare --net "$0" "$@"
fi

command -v ip >/dev/null || PATH="$PATH:/usr/sbin:/sbin"
ip link set lo up
ip link add v0 type veth peer name v1
ip link set v1 up
ip link set v0 multicast on up
ip addr add 192.0.2.10/24 dev v0
# The SSDP group is reached on the private network, the only one there is.
ip route add 239.255.255.250/32 dev v0
export VELMORA_LAN_ADDRESS=192.0.2.10
exec "$@"
