#!/bin/bash
# The update check against a misbehaving service on 127.0.0.1, started here: it holds its
# answer to /slow until /release/slow is asked for (30 s at most), hangs up twice without an answer (/drop) or once in the middle of the
# body (/midway), sends a body over the cap, first declared and then undeclared (/overcap),
# or a body that is not UTF-8 (/badutf8); after its failures each path answers "latest".
# /count/<path> gives the number of requests a path has seen. The Wine test program's
# FaultUpdate* cases run the check against it.
set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINEPREFIX:?}" "${WINE_TESTS_EXE:?}"
if [ -z "${DISPLAY:-}" ]; then
  exec "$SOURCE_DIR/cmake/with-display.sh" bash "$0" "$@"
fi
export WINEDEBUG=-all WINEPREFIX
work="$BUILD_DIR/fault-update-server"
rm -rf "$work"
mkdir -p "$work"
server_pid=
cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

cat >"$work/server.py" <<'PY'
import http.server, socketserver, sys, threading, time

CAP = 4 * 1024 * 1024
LATEST = b'{"result":"latest"}'
counts = {}
lock = threading.Lock()
released = {"slow": threading.Event()}

class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, body, length=True, ctype="application/json"):
        self.send_response(200)
        self.send_header("Content-Type", ctype)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def do_GET(self):
        path = self.path.strip("/")
        if path.startswith("count/"):
            with lock:
                n = counts.get(path[6:], 0)
            return self.answer(str(n).encode())
        if path.startswith("release/") and path[8:] in released:
            released[path[8:]].set()
            return self.answer(b"released")
        with lock:
            counts[path] = n = counts.get(path, 0) + 1
        if path == "slow":
            released["slow"].wait(30)
        elif path == "drop" and n <= 2:
            self.close_connection = True
            return
        elif path == "midway" and n == 1:
            self.send_response(200)
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.write(b'{"update":"')
            self.wfile.flush()
            self.close_connection = True
            return
        elif path == "overcap" and n <= 2:
            return self.answer(b" " * (CAP + 1), length=(n == 1))
        elif path == "badutf8":
            return self.answer(b'{"update":"https://127.0.0.1:9/Tavrino.exe","info":'
                               b'{"style":"note","text":"caf\xe9 \xff","url":""}}',
                               ctype="application/json; charset=utf-8")
        self.answer(LATEST)

class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # the client hangs up on a body it will not read: expected here

server = Server(("127.0.0.1", 0), Handler)
with open(sys.argv[1], "w") as f:
    f.write(str(server.server_address[1]))
server.serve_forever()
PY
python3 "$work/server.py" "$work/port" &
server_pid=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || fail "the server did not start"

"$SOURCE_DIR/cmake/wine-prefix.sh"
TAVRINO_FAULT_SERVER="http://127.0.0.1:$(cat "$work/port")" \
  "$SOURCE_DIR/cmake/wine-run.sh" "$WINE_TESTS_EXE" --gtest_filter='*FaultUpdate*' \
  >"$work/tests.log" 2>&1 || { cat "$work/tests.log"; fail "the Wine tests of the faulty service failed"; }
grep -E '^\[ +(OK|PASSED|SKIPPED) ' "$work/tests.log"
grep -q 'SKIPPED' "$work/tests.log" && { cat "$work/tests.log"; fail "a case was skipped"; }
exit 0
