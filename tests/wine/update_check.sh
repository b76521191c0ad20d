#!/bin/bash
# The update check against the reference deployment on loopback (services/start.sh), run by
# the Wine test program: the check's headers as the service logs them (version, language,
# "false", the 32-character id created on the first run and sent again on the second), the
# hold request with only its two headers, an offer accepted and declined, a non-web address.
# A raw listener of the test's own then shows the order of the headers on the wire.
set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${WINEPREFIX:?}" "${WINE_TESTS_EXE:?}"
if [ -z "${DISPLAY:-}" ]; then
  exec "$SOURCE_DIR/cmake/with-display.sh" bash "$0" "$@"
fi
export WINEDEBUG=-all WINEPREFIX
work="$BUILD_DIR/update-check"
rm -rf "$work"
mkdir -p "$work"
raw_pid=
cleanup() {
  "$SOURCE_DIR/services/stop.sh" "$work/services" || true
  [ -n "$raw_pid" ] && kill "$raw_pid" 2>/dev/null || true
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

port=
for try in 0 1 2 3 4 5 6 7; do
  candidate=$((20000 + ($$ + try * 97) % 20000))
  if TAVRINO_TEST_ANSWER=1 "$SOURCE_DIR/services/start.sh" "$candidate" "$work/services" >/dev/null 2>&1; then
    port=$candidate
    break
  fi
done
[ -n "$port" ] || fail "the reference services did not start"
log="$work/services/logs/access.log"

"$SOURCE_DIR/cmake/wine-prefix.sh"
"$SOURCE_DIR/cmake/wine-exec.sh" reg delete 'HKCU\Software\Marvetic' /v MUID /f >/dev/null 2>&1 || true  # a first run

# Korean user locale: the check sends "ko".
LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8 \
TAVRINO_TEST_ENDPOINT="http://127.0.0.1:$port/api.init.php" \
TAVRINO_TEST_ANSWER_DIR=$("$SOURCE_DIR/cmake/wine-exec.sh" winepath -w "$work/services/www") \
  "$SOURCE_DIR/cmake/wine-run.sh" "$WINE_TESTS_EXE" --gtest_filter='UpdateService.*' \
  >"$work/tests.log" 2>&1 || { cat "$work/tests.log"; fail "the Wine tests of the check failed"; }
grep -E '^\[  (PASSED|SKIPPED)' "$work/tests.log"
grep -q 'SKIPPED' "$work/tests.log" && { cat "$work/tests.log"; fail "a test of the check was skipped"; }

checks=$(grep '"GET /api.init.php' "$log" | grep 'command=""')
holds=$(grep '"GET /api.init.php' "$log" | grep 'command="hold"' || true)
echo "$checks" | sed -n '1,2s/^/check: /p'
echo "$holds" | sed 's/^/hold: /'
first=$(echo "$checks" | sed -n 1p)
second=$(echo "$checks" | sed -n 2p)
for line in "$first" "$second"; do
  [[ "$line" == *'version="1.5.6.0" language="ko" debug="false" union="'* ]] ||
    fail "check headers: $line"
done
union_of() { sed -n 's/.*union="\([^"]*\)".*/\1/p' <<<"$1"; }
id=$(union_of "$first")
[[ "$id" =~ ^[0-7][0-9A-F]{7}[0-9]{6}[0-9A-F]{4}[0-9]{6}[0-7][0-9A-F]{7}$ ]] || fail "id '$id'"
[ "$(union_of "$second")" = "$id" ] || fail "the second run sent another id"
stored=$("$SOURCE_DIR/cmake/wine-exec.sh" reg query 'HKCU\Software\Marvetic' /v MUID | tr -d '\r' | awk '/MUID/ {print $3}')
[ "$stored" = "$id" ] || fail "MUID in the registry is '$stored', sent '$id'"
echo "user id $id created on the first run, stored and sent again"
[ "$(echo "$holds" | grep -c .)" -eq 1 ] || fail "expected one hold request"
[[ "$holds" == *'version="1.5.6.0" language="" debug="" union="" command="hold"'* ]] ||
  fail "hold headers: $holds"

# The order on the wire, seen by a listener that records each request's raw header lines.
raw_port=$((port + 1))
perl -MIO::Socket::INET -e '
  my ($port, $out) = @ARGV;
  my $server = IO::Socket::INET->new(LocalAddr => "127.0.0.1", LocalPort => $port,
                                     Listen => 5, ReuseAddr => 1) or die "listen: $!";
  open(my $log, ">>", $out) or die;
  $log->autoflush(1);
  open(my $ready, ">", "$out.ready") or die;
  close $ready;
  while (my $client = $server->accept) {
    my $request = "";
    while (my $line = <$client>) { $request .= $line; last if $line eq "\r\n"; }
    print $log $request;
    print $client "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 17\r\nConnection: close\r\n\r\n{\"result\":\"raw\"}\n";
    close $client;
  }' "$raw_port" "$work/raw.txt" &
raw_pid=$!
for _ in $(seq 100); do [ -e "$work/raw.txt.ready" ] && break; sleep 0.1; done
[ -e "$work/raw.txt.ready" ] || fail "the raw listener did not listen within 10 s"
TAVRINO_TEST_ENDPOINT="http://127.0.0.1:$raw_port/api.init.php" \
  "$SOURCE_DIR/cmake/wine-run.sh" "$WINE_TESTS_EXE" --gtest_filter='UpdateService.TwoRunsWithoutAnOffer' \
  >"$work/raw-tests.log" 2>&1 || { cat "$work/raw-tests.log"; fail "the check against the raw listener failed"; }
order=$(tr -d '\r' <"$work/raw.txt" | awk -F: '/^User-/ && n++ < 4 {print $1}' | paste -sd' ')
echo "headers on the wire: $order"
[ "$order" = "User-Version User-Language User-Debug User-Union" ] || fail "header order: $order"
first_request=$(tr -d '\r' <"$work/raw.txt" | awk 'NF == 0 {exit} {print}')
grep -q '^GET /api.init.php HTTP/1.1$' <<<"$first_request" || fail "request line: $first_request"
echo "update check against the reference services: all as expected"
