# A network namespace of the program's own, shared by the run command and the end-to-end
# tests: "adapter" gives it one IPv4-only veth (eth0, 192.168.77.2/24) whose peer lives in a
# second namespace, so the program sees one active physical adapter; "none" leaves loopback
# only. Needs root. Sets NETNS and NETNS_PEER; netns_delete removes both.

NETNS=
NETNS_PEER=
NETNS_ADAPTER_IP=192.168.77.2

netns_create() {
  local kind=$1 tag=$$
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

netns_delete() {
  [ -n "$NETNS" ] && ip netns del "$NETNS" 2>/dev/null
  [ -n "$NETNS_PEER" ] && ip netns del "$NETNS_PEER" 2>/dev/null
  NETNS=
  NETNS_PEER=
  return 0
}
