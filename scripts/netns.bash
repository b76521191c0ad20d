# A network namespace of the program's own, shared by the run command and the end-to-end
# tests: "adapter" gives it one IPv4-only veth (eth0, 192.168.77.2/24) whose peer lives in a
# second namespace, so the program sees one active physical adapter; "none" leaves loopback
# only. Needs root. Sets NETNS and NETNS_PEER; netns_delete removes both.
#
# `ip netns exec` lays each entry of /etc/netns/NAME/ over /etc/: netns_hosts makes host names
# resolve to the namespace's loopback, netns_trust makes a certificate authority the only one
# that programs inside the namespace trust (Wine's TLS reads /etc/ssl/certs), and neither
# touches the machine's own files.

NETNS=
NETNS_PEER=
NETNS_ADAPTER_IP=192.168.77.2

# Namespaces (and their /etc/netns files) left by a process that is gone: a case that was
# killed outright (SIGKILL) could not remove its own. Their names carry the owner's PID.
netns_sweep() {
  local name pid
  for name in $(ip netns list 2>/dev/null | awk '{ print $1 }' | grep -E '^tavrino-(peer-)?[0-9]+$' || true); do
    pid=${name##*-}
    kill -0 "$pid" 2>/dev/null && continue
    ip netns del "$name" 2>/dev/null || true
    rm -rf "/etc/netns/$name"
  done
}

netns_create() {
  local kind=$1 tag=$$
  netns_sweep
  NETNS="tavrino-$tag"
  ip netns add "$NETNS"
  ip -n "$NETNS" link set lo up
  ip netns exec "$NETNS" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1
  [ "$kind" = adapter ] || return 0
  NETNS_PEER="tavrino-peer-$tag"
  ip netns add "$NETNS_PEER"
  ip link add "tve$tag" type veth peer name "tvp$tag"
  ip link set "tve$tag" netns "$NETNS"
  ip link set "tvp$tag" netns "$NETNS_PEER"
  ip -n "$NETNS" link set "tve$tag" name eth0
  ip -n "$NETNS" addr add "$NETNS_ADAPTER_IP/24" dev eth0
  ip -n "$NETNS" link set eth0 up
  ip -n "$NETNS_PEER" addr add 192.168.77.1/24 dev "tvp$tag"
  ip -n "$NETNS_PEER" link set "tvp$tag" up
}

# netns_hosts NAME...: the names resolve to 127.0.0.1 inside the namespace.
netns_hosts() {
  mkdir -p "/etc/netns/$NETNS"
  printf '127.0.0.1 localhost %s\n' "$*" >"/etc/netns/$NETNS/hosts"
}

# netns_trust CA_PEM: the trust store inside the namespace holds this authority alone.
netns_trust() {
  mkdir -p "/etc/netns/$NETNS/ssl/certs"
  cp "$1" "/etc/netns/$NETNS/ssl/certs/ca-certificates.crt"
}

netns_delete() {
  [ -n "$NETNS" ] && rm -rf "/etc/netns/$NETNS"
  [ -n "$NETNS" ] && ip netns del "$NETNS" 2>/dev/null
  [ -n "$NETNS_PEER" ] && ip netns del "$NETNS_PEER" 2>/dev/null
  NETNS=
  NETNS_PEER=
  return 0
}
