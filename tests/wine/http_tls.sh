#!/bin/bash
# Certificate checks of the HTTP client under Wine: a TLS server on 127.0.0.1 that this test
# starts, with a self-signed certificate that nothing trusts. The client must refuse it, while
# the same server answers a request that waives the certificate checks.
set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINEPREFIX:?}" "${WINE_TESTS_EXE:?}"

work="$BUILD_DIR/http-tls-$$"
server_pid=
cleanup() {
  set +e
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir -p "$work"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=127.0.0.1" \
  -addext "subjectAltName=IP:127.0.0.1" -keyout "$work/self.key" -out "$work/self.pem" 2>/dev/null

python3 "$SOURCE_DIR/tests/wine/myip_server.py" 0 "$work/port" "$work/requests.log" \
  "$work/self.pem" "$work/self.key" &
server_pid=$!
for _ in $(seq 50); do [ -f "$work/port" ] && break; sleep 0.1; done
read -r port <"$work/port" || fail "the TLS server did not start"

out="$work/out.txt"
TAVRINO_TLS_SELF_SIGNED="https://127.0.0.1:$port/myip" \
  "$SOURCE_DIR/cmake/wine-run.sh" "$WINE_TESTS_EXE" --gtest_filter='WinHttpTlsTest.*' >"$out" 2>&1 \
  || { cat "$out"; fail "WinHttpTlsTest"; }
grep -q '^\[  PASSED  \] 1 test\.' "$out" && ! grep -q 'SKIPPED' "$out" || { cat "$out"; fail "did not run"; }
# Only the check-waiving request got as far as HTTP.
[ "$(wc -l <"$work/requests.log")" -eq 1 ] || { cat "$work/requests.log"; fail "requests past TLS"; }
echo "ok: the self-signed certificate is refused"
