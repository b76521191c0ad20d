#!/bin/bash
# Adapter discovery and the public address probe under Wine inside network namespaces that
# this test creates: with one IPv4-only veth, discovery finds that adapter, its braced GUID
# (as Wine's own wmic reports it) and its address; once the veth has an IPv6 address too,
# Wine's WMI lists that first and the address rule finds nothing, and without a route to the
# internet discovery finds nothing; with the default route through the veth it finds the
# veth by its route. The probe asks the program's own
# address (the API base and "/myip") of a server on the namespace's loopback.
set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINEPREFIX:?}" "${WINE_TESTS_EXE:?}"
[ "$(id -u)" -eq 0 ] || { echo "skipped: network namespaces need root"; exit 0; }

ns="tavrino-nd-$$"
peer="tavrino-np-$$"
dev="tvd$$"
adapter_ip=10.77.3.2
work="$BUILD_DIR/network-namespace-$$"
server_pid=

cleanup() {
  set +e
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  ip netns exec "$ns" env WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null
  ip netns del "$ns" 2>/dev/null
  ip netns del "$peer" 2>/dev/null
  "$SOURCE_DIR/cmake/wine-prefix.sh" --drop "$work/prefix"  # an overlay mount: unmounted first
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# A prefix of this test's own, so that its wineserver runs inside the namespace.
"$SOURCE_DIR/cmake/wine-prefix.sh" "$work/prefix"

ip netns add "$ns"
ip netns add "$peer"
ip -n "$ns" link set lo up
ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1
ip link add "$dev" type veth peer name "tvq$$"
ip link set "$dev" netns "$ns"
ip link set "tvq$$" netns "$peer"
ip -n "$ns" addr add "$adapter_ip/24" dev "$dev"
ip -n "$ns" link set "$dev" up
ip -n "$peer" addr add 10.77.3.1/24 dev "tvq$$"
ip -n "$peer" link set "tvq$$" up

in_ns() { ip netns exec "$ns" env WINEPREFIX="$work/prefix" WINEDEBUG=-all "$@"; }

# Runs one test of the Wine test program inside the namespace; it must run and pass, not skip.
run_case() {
  local filter=$1; shift
  local out="$work/out.txt"
  in_ns "$@" "$SOURCE_DIR/cmake/wine-run.sh" "$WINE_TESTS_EXE" --gtest_filter="$filter" >"$out" 2>&1 \
    || { cat "$out"; fail "$filter"; }
  grep -q '^\[  PASSED  \] 1 test\.' "$out" && ! grep -q 'SKIPPED' "$out" \
    || { cat "$out"; fail "$filter did not run"; }
  echo "ok: $filter"
}

# The adapter's GUID as Wine's own WMI client prints it (UTF-16). This only reads what the
# tests below compare with, so a try that finds none is shown and made again, twice at most.
guid=
for try in 1 2 3; do
  rc=0
  in_ns "$SOURCE_DIR/cmake/wine-exec.sh" wmic path Win32_NetworkAdapter get GUID,Name \
    >"$work/wmic.out" 2>"$work/wmic.err" || rc=$?
  listed=$(iconv -f UTF-16LE -t UTF-8 <"$work/wmic.out" 2>/dev/null | tr -d '\r' || true)
  guid=$(awk -v dev="$dev" '$2 == dev { print $1 }' <<<"$listed" | grep -o '^{[0-9A-Fa-f-]\{36\}}$' || true)
  [ -n "$guid" ] && break
  echo "wmic, try $try: exit $rc, no GUID for $dev; it listed:"
  printf '%s\n' "$listed" | sed 's/^/  /'
  sed 's/^/  stderr: /' "$work/wmic.err" | sed -n 1,20p
  ip -n "$ns" -brief link | sed 's/^/  link: /'
  sleep 1
done
[ -n "$guid" ] || fail "wmic lists no adapter GUID in the namespace"
echo "adapter in the namespace: $dev $adapter_ip $guid"

run_case 'WinNetworkNamespaceTest.FindsTheOnlyIPv4Adapter' \
  TAVRINO_NETNS_IPV4_ONLY="$adapter_ip" TAVRINO_NETNS_GUID="$guid"

# The same veth with an IPv6 address as well.
ip netns exec "$ns" sysctl -qw "net.ipv6.conf.$dev.disable_ipv6=0"
ip -n "$ns" addr add fd77:3::2/64 dev "$dev" nodad
run_case 'WinNetworkNamespaceTest.IPv6ListedFirstFindsNothing' TAVRINO_NETNS_DUAL="$adapter_ip"

# The same, with the default route through the veth: the adapter of the route is taken.
ip -n "$ns" route add default via 10.77.3.1 dev "$dev"
run_case 'WinNetworkNamespaceTest.TheRouteToTheInternetFindsTheAdapterTheRuleMisses' \
  TAVRINO_NETNS_ROUTE="$adapter_ip" TAVRINO_NETNS_GUID="$guid"
ip -n "$ns" route del default

# The probe of the program's own address, when that address is on loopback.
base=$(sed -n 's/^TAVRINO_API_BASE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")
port=$(printf '%s' "$base" | sed -n 's|^http://127\.0\.0\.1:\([0-9]\+\)$|\1|p')
if [ -z "$port" ]; then
  echo "the API base $base is not on loopback: its probe is not run here"
  exit 0
fi
ip netns exec "$ns" python3 "$SOURCE_DIR/tests/wine/myip_server.py" "$port" "$work/port" \
  "$work/requests.log" &
server_pid=$!
for _ in $(seq 50); do [ -f "$work/port" ] && break; sleep 0.1; done
[ -f "$work/port" ] || fail "the server did not start"
run_case 'WinNetworkNamespaceTest.ProbesTheProgramsAddress' TAVRINO_NETNS_PROBE=1
grep -q '^GET /myip HTTP/1.1$' "$work/requests.log" || { cat "$work/requests.log"; fail "no GET /myip"; }
echo "ok: the probe asked $base/myip"
