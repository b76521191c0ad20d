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

cat >"$work/server.py" <<'PY'
import http.server, os, ssl, sys
work = sys.argv[1]
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = b'{"ip":"203.0.113.7"}'
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(f"{work}/self.pem", f"{work}/self.key")
server.socket = context.wrap_socket(server.socket, server_side=True)
with open(f"{work}/port.tmp", "w") as f:
    f.write(f"{server.server_address[1]}\n")
os.rename(f"{work}/port.tmp", f"{work}/port")
server.serve_forever()
PY
python3 "$work/server.py" "$work" &
server_pid=$!
for _ in $(seq 50); do [ -f "$work/port" ] && break; sleep 0.1; done
read -r port <"$work/port" || fail "the TLS server did not start"

out="$work/out.txt"
TAVRINO_TLS_SELF_SIGNED="https://127.0.0.1:$port/myip" \
  "$SOURCE_DIR/cmake/wine-run.sh" "$WINE_TESTS_EXE" --gtest_filter='WinHttpTlsTest.*' >"$out" 2>&1 \
  || { cat "$out"; fail "WinHttpTlsTest"; }
grep -q '^\[  PASSED  \] 1 test\.' "$out" && ! grep -q 'SKIPPED' "$out" || { cat "$out"; fail "did not run"; }
echo "ok: the self-signed certificate is refused"
