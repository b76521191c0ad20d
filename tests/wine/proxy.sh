#!/bin/bash
# The HTTP client uses the user's proxy settings (Internet Options, as the binary value
# DefaultConnectionSettings in the prefix's registry): inside a network namespace of this
# test's own, the reference services listen on loopback under a host name that only the
# test's proxy (tests/wine/proxy_server.py, also on loopback) resolves. The update check and
# the public address probe of the Wine test program reach the service through the fixed proxy
# and through a configuration script; without settings, with the name in the bypass list, and
# with a script that says DIRECT they do not.
set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINEPREFIX:?}" "${WINE_TESTS_EXE:?}"
[ "$(id -u)" -eq 0 ] || { echo "skipped: network namespaces need root"; exit 77; }

source "$SOURCE_DIR/scripts/netns.bash"
ns=
work="$BUILD_DIR/proxy-$$"
name=api.tavrino.test
proxy_pid=
cleanup() {
  set +e
  [ -n "$proxy_pid" ] && kill "$proxy_pid" 2>/dev/null
  ip netns exec "$ns" "$SOURCE_DIR/services/stop.sh" "$work/services" >/dev/null 2>&1
  ip netns exec "$ns" env WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null
  netns_delete
  "$SOURCE_DIR/cmake/wine-prefix.sh" --drop "$work/prefix"  # an overlay mount: unmounted first
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$SOURCE_DIR/cmake/wine-prefix.sh" "$work/prefix"
netns_create none
ns=$NETNS
in_ns() { ip netns exec "$ns" env WINEPREFIX="$work/prefix" WINEDEBUG=-all "$@"; }

port=18080
in_ns env TAVRINO_HOST="$name" "$SOURCE_DIR/services/start.sh" "$port" "$work/services" >/dev/null || fail "services"
access="$work/services/logs/access.log"
pac="$work/proxy.pac"
# Started without the function, so that $! is the proxy itself (ip and env exec it) and the
# clean-up ends it: a proxy left running would hold the test's output open.
ip netns exec "$ns" python3 "$SOURCE_DIR/tests/wine/proxy_server.py" 0 "$work/proxy-port" \
  "$work/proxy.log" "$pac" "$name=127.0.0.1" &
proxy_pid=$!
for _ in $(seq 50); do [ -f "$work/proxy-port" ] && break; sleep 0.1; done
read -r proxy_port <"$work/proxy-port" || fail "the proxy did not start"
proxy="127.0.0.1:$proxy_port"
in_ns getent hosts "$name" >/dev/null && fail "$name resolves without the proxy"

# Internet Options' LAN settings: version 0x46, a counter, the flags (1 direct, 2 fixed
# proxy, 4 configuration script, 8 automatic detection), then the proxy, the bypass list and
# the script address, each as a length and its bytes.
settings() {
  local flags=$1 server=$2 bypass=$3 script=$4
  python3 - "$flags" "$server" "$bypass" "$script" <<'PY'
import struct, sys
flags, texts = int(sys.argv[1]), [t.encode() for t in sys.argv[2:5]]
data = struct.pack("<III", 0x46, 1, flags)
for t in texts:
    data += struct.pack("<I", len(t)) + t
print((data + bytes(32)).hex())
PY
}
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections'

# One case: the settings, then both tests of the Wine test program with the expected outcome;
# the proxy's log and the service's log must agree with it.
run_case() {
  local label=$1 expect=$2 value=$3
  if [ -n "$value" ]; then
    in_ns "$SOURCE_DIR/cmake/wine-exec.sh" reg add "$key" /v DefaultConnectionSettings /t REG_BINARY /d "$value" /f >/dev/null
  else
    in_ns "$SOURCE_DIR/cmake/wine-exec.sh" reg delete "$key" /v DefaultConnectionSettings /f >/dev/null 2>&1 || true
  fi
  : >"$work/proxy.log"
  : >"$access"
  local out="$work/out.txt"
  in_ns TAVRINO_PROXY_API_BASE="http://$name:$port" TAVRINO_PROXY_EXPECT="$expect" \
    "$SOURCE_DIR/cmake/wine-run.sh" "$WINE_TESTS_EXE" --gtest_filter='UserProxy.*' >"$out" 2>&1 \
    || { cat "$out"; cat "$work/proxy.log"; fail "$label"; }
  grep -q '^\[  PASSED  \] 2 tests\.' "$out" && ! grep -q 'SKIPPED' "$out" \
    || { cat "$out"; fail "$label: the tests did not run"; }
  local forwarded
  forwarded=$(grep -c "^GET http://$name:$port/" "$work/proxy.log" || true)
  if [ "$expect" = through ]; then
    grep -q "^GET http://$name:$port/myip HTTP" "$work/proxy.log" || fail "$label: no probe through the proxy"
    grep -q "^GET http://$name:$port/api.init.php HTTP" "$work/proxy.log" || fail "$label: no check through the proxy"
    grep -q '"GET /myip' "$access" && grep -q '"GET /api.init.php' "$access" \
      || { cat "$access"; fail "$label: the service saw neither request"; }
  else
    [ "$forwarded" -eq 0 ] || { cat "$work/proxy.log"; fail "$label: requests went through the proxy"; }
    [ ! -s "$access" ] || { cat "$access"; fail "$label: the service was reached"; }
  fi
  echo "ok: $label ($expect; $forwarded requests forwarded by the proxy)"
}

run_case "no proxy settings" fails ""
run_case "fixed proxy" through "$(settings 3 "$proxy" "<local>" "")"
run_case "fixed proxy, the service in the bypass list" fails "$(settings 3 "$proxy" "*.tavrino.test" "")"
printf 'function FindProxyForURL(url, host) { return "PROXY %s"; }\n' "$proxy" >"$pac"
run_case "configuration script" through "$(settings 5 "" "" "http://$proxy/proxy.pac")"
grep -q '^GET /proxy.pac' "$work/proxy.log" || fail "the configuration script was not fetched"
printf 'function FindProxyForURL(url, host) { return "DIRECT"; }\n' >"$pac"
run_case "configuration script saying DIRECT over a fixed proxy" fails \
  "$(settings 7 "$proxy" "" "http://$proxy/proxy.pac")"
run_case "configuration script unreachable, the fixed proxy stands" through \
  "$(settings 7 "$proxy" "" "http://127.0.0.1:9/proxy.pac")"
