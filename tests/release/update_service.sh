#!/bin/bash
# The reference update service with a release (services/start.sh, TAVRINO_RELEASE_DIR) on
# loopback, asked with curl: the release is offered to older versions only, the four numbers
# compared one by one; malformed versions, the release's own and newer ones get no offer, nor
# does anybody without a release; the hold request is answered and logged; the answers are
# not cached and vary by User-Version; a test's answer file is served only when turned on;
# requests for another host are refused; over HTTPS the offered address is https on the
# service's own host whatever the request names, and serves the exe with SHA256SUMS beside it,
# with HSTS, no version in Server and forward-secret TLS only; a release whose files do not
# match its checksums, or that could only be offered over plain http, is refused.
set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}"
work="$BUILD_DIR/release-service-$$"
services="$work/services"
cleanup() {
  "$SOURCE_DIR/services/stop.sh" "$services" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
mkdir -p "$work"

# A release folder as the release command writes it, of version $2 (the exe is a stand-in).
make_release() {
  mkdir -p "$1"
  printf 'MZ Tavrino %s\n' "$2" >"$1/Tavrino.exe"
  local sha; sha=$(sha256sum "$1/Tavrino.exe" | cut -d' ' -f1)
  printf '%s  Tavrino.exe\n' "$sha" >"$1/SHA256SUMS"
  printf '{"version":"%s","file":"Tavrino.exe","sha256":"%s","signed":false,"commit":"0"}\n' "$2" "$sha" >"$1/release.json"
}

port=
start() {  # start [ENV=VALUE...]: the services with these settings, on a free port
  "$SOURCE_DIR/services/stop.sh" "$services" >/dev/null 2>&1 || true
  rm -rf "$services"
  local try candidate
  for try in 0 1 2 3 4 5 6 7; do
    candidate=$((20000 + ($$ + try * 131) % 20000))
    if env "$@" "$SOURCE_DIR/services/start.sh" "$candidate" "$services" >"$work/start.log" 2>&1; then
      port=$candidate
      return 0
    fi
    grep -q 'Address already in use' "$services/logs/error.log" 2>/dev/null || break
  done
  cat "$work/start.log"
  return 1
}
answer() { curl -sS --max-time 5 -H "User-Version: $1" "http://127.0.0.1:$port/api.init.php"; }
# Over plain http the service offers its release only on an https download host.
dl=https://download.tavrino.example
offer="{\"update\":\"$dl/download/Tavrino.exe\",\"info\":{\"style\":\"\",\"text\":\"\",\"flag\":\"\",\"url\":\"\"}}"
latest='{"result":"latest"}'

# release version | asked version | offered (1) or not (0)
cases='
1.5.10.0|1.5.9.0|1
1.5.10.0|1.5.10.0|0
1.5.10.0|1.5.11.0|0
1.5.10.0|1.5.100.0|0
1.5.10.0|1.5.1.0|1
1.5.10.0|1.5.9.65535|1
1.5.10.0|1.5.10.1|0
1.5.10.0|1.4.99.99|1
1.5.10.0|1.6.0.0|0
1.5.10.0|0.9.0.0|1
1.5.10.0|2.0.0.0|0
1.5.10.0|10.0.0.0|0
1.5.10.0|1.5.09.0|0
1.5.10.0|1.5.9|0
1.5.10.0|1.5.9.0.0|0
1.5.10.0|1.5.9.x|0
1.5.10.0| 1.5.9.0|1
1.5.10.0|1.5.9.0a|0
1.5.10.0|-1.5.9.0|0
1.5.10.0|1..9.0|0
1.5.10.0||0
1.5.6.0|1.5.6.0|0
1.5.6.0|1.5.5.9|1
1.5.6.0|1.5.7.0|0
0.0.0.0|0.0.0.0|0
10.20.300.4000|9.99.999.9999|1
10.20.300.4000|10.19.999.99|1
10.20.300.4000|10.20.299.0|1
10.20.300.4000|10.20.300.3999|1
10.20.300.4000|10.20.300.400|1
10.20.300.4000|10.20.300.4000|0
10.20.300.4000|10.20.300.4001|0
10.20.300.4000|10.20.300.10000|0
10.20.300.4000|10.20.301.0|0
10.20.300.4000|10.21.0.0|0
10.20.300.4000|11.0.0.0|0
'
# (curl drops the spaces around a header value, as the program's version never has any.)
current=
while IFS='|' read -r release asked expected; do
  [ -n "$release" ] || continue
  if [ "$release" != "$current" ]; then
    make_release "$work/release-$release" "$release"
    start TAVRINO_RELEASE_DIR="$work/release-$release" TAVRINO_DOWNLOAD_BASE=$dl ||
      fail "the services did not start with release $release"
    current=$release
  fi
  got=$(answer "$asked")
  want=$latest
  [ "$expected" = 1 ] && want=$offer
  [ "$got" = "$want" ] || fail "release $release, version '$asked': got $got, expected $want"
  echo "ok: release $release, version '$asked': $([ "$expected" = 1 ] && echo offered || echo 'no offer')"
done <<<"$cases"

# Against a plain numeric comparison, every version made of these numbers.
make_release "$work/release-2.10.0.9" 2.10.0.9
start TAVRINO_RELEASE_DIR="$work/release-2.10.0.9" TAVRINO_DOWNLOAD_BASE=$dl || fail "the services did not start"
numbers=(0 1 2 3 9 10 11 99 100)
older() {  # is $1 older than 2.10.0.9, number by number
  local -a a b=(2 10 0 9)
  IFS=. read -r -a a <<<"$1"
  for i in 0 1 2 3; do
    [ "${a[i]}" -lt "${b[i]}" ] && return 0
    [ "${a[i]}" -gt "${b[i]}" ] && return 1
  done
  return 1
}
n=0
for a in 1 2 3; do for b in "${numbers[@]}"; do for c in 0 1; do for d in 8 9 10 100; do
  v="$a.$b.$c.$d"
  got=$(answer "$v")
  if older "$v"; then want=$offer; else want=$latest; fi
  [ "$got" = "$want" ] || fail "release 2.10.0.9, version $v: got $got"
  n=$((n + 1))
done; done; done; done
echo "ok: release 2.10.0.9: the offers to $n versions agree with comparing their numbers"

# The hold request is answered and logged with its headers; so is every check.
got=$(curl -sS --max-time 5 -H 'User-Version: 1.5.6.0' -H 'User-Command: hold' "http://127.0.0.1:$port/api.init.php")
[ "$got" = '{"result":"held"}' ] || fail "hold: $got"
grep -q '"GET /api.init.php HTTP/1.1" 200 version="1.5.6.0" .*command="hold"' "$services/logs/access.log" ||
  fail "the hold request is not in the log"
echo "ok: the hold request is answered and logged"

# The update answers are never stored by a cache and vary by version: the offer, "latest"
# and the hold answer alike.
headers() { curl -sS --max-time 5 -o /dev/null -D - "$@" | tr -d '\r'; }
for h in 'User-Version: 1.0.0.0' 'User-Version: 9.0.0.0' 'User-Command: hold'; do
  got=$(headers -H "$h" "http://127.0.0.1:$port/api.init.php")
  grep -qx 'Cache-Control: no-store' <<<"$got" && grep -qx 'Vary: User-Version' <<<"$got" ||
    fail "the answer to '$h' lacks Cache-Control: no-store or Vary: User-Version: $got"
  grep -qx 'Server: nginx' <<<"$got" || fail "the Server header tells more than nginx: $got"
done
echo "ok: the offer, latest and hold answers carry Cache-Control: no-store and Vary: User-Version; Server: nginx only"

# Only the service's own host is answered; the request's Host never reaches an answer.
# Host header | expected status
hosts='
127.0.0.1|200
127.0.0.1:PORT|200
evil.example"|421
evil.example|421
localhost|421
127.0.0.1.evil.example|421
'
while IFS='|' read -r h expected; do
  [ -n "$h" ] || continue
  h=${h/PORT/$port}
  body=$(curl -sS --max-time 5 -H "Host: $h" -H 'User-Version: 1.0.0.0' -w '|%{http_code}' "http://127.0.0.1:$port/api.init.php")
  [ "${body##*|}" = "$expected" ] || fail "Host '$h': status ${body##*|}, expected $expected"
  [[ $body != *evil* ]] || fail "Host '$h' came back in the answer: $body"
  [ "$expected" = 421 ] || [ "${body%|*}" = "$offer" ] || fail "Host '$h': $body"
done <<<"$hosts"
status=$(curl -sS --max-time 5 -0 -H 'Host:' -o /dev/null -w '%{http_code}' "http://127.0.0.1:$port/api.init.php")
[ "$status" = 421 ] || fail "a request without Host got $status"
echo "ok: requests for the service's own host are answered, other hosts and none get 421"

# The answer file of the tests is served only when the service was started for it.
echo '{"update":"https://test.example/x.exe"}' >"$services/www/answer.json"
chmod 644 "$services/www/answer.json"
got=$(answer 9.0.0.0)
[ "$got" = "$latest" ] || fail "the answer file was served without TAVRINO_TEST_ANSWER: $got"
start TAVRINO_RELEASE_DIR="$work/release-2.10.0.9" TAVRINO_DOWNLOAD_BASE=$dl TAVRINO_TEST_ANSWER=1 ||
  fail "the services did not start with the test answer"
echo '{"update":"https://test.example/x.exe"}' >"$services/www/answer.json"
chmod 644 "$services/www/answer.json"
got=$(answer 9.0.0.0)
[ "$got" = '{"update":"https://test.example/x.exe"}' ] || fail "the answer file was not served with TAVRINO_TEST_ANSWER=1: $got"
got=$(headers -H 'User-Version: 9.0.0.0' "http://127.0.0.1:$port/api.init.php")
grep -qx 'Cache-Control: no-store' <<<"$got" && grep -qx 'Vary: User-Version' <<<"$got" ||
  fail "the test answer lacks Cache-Control or Vary: $got"
rm "$services/www/answer.json"
[ "$(answer 1.0.0.0)" = "$offer" ] || fail "with the answer file gone the release is not offered"
echo "ok: the answer file is served only with TAVRINO_TEST_ANSWER=1"

# Without a release nobody is offered anything, and there is nothing to download.
start || fail "the services did not start without a release"
for v in 0.0.0.0 1.0.0.0 1.5.5.0 1.5.6.0; do
  got=$(answer "$v")
  [ "$got" = "$latest" ] || fail "no release, version $v: $got"
done
status=$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$port/download/Tavrino.exe")
[ "$status" = 404 ] || fail "without a release the download answers $status"
echo "ok: without a release no version is offered anything and there is no download"

# A release whose files do not match is refused: the exe changed after its checksums, or
# release.json naming another file's checksum or no proper version.
make_release "$work/bad1" 1.6.0.0
printf 'changed' >>"$work/bad1/Tavrino.exe"
make_release "$work/bad2" 1.6.0.0
sed -i 's/"sha256":"[0-9a-f]/"sha256":"x/' "$work/bad2/release.json"
make_release "$work/bad3" 1.6.0
make_release "$work/bad4" 1.6.0.0
rm "$work/bad4/SHA256SUMS"
for bad in bad1 bad2 bad3 bad4; do
  if start TAVRINO_RELEASE_DIR="$work/$bad" TAVRINO_DOWNLOAD_BASE=$dl >/dev/null 2>&1; then fail "the services started with $bad"; fi
done
echo "ok: releases that do not match their checksums or version are refused ($(tail -1 "$work/start.log"))"

# A release that could be offered only at an http address is refused, whatever names it.
make_release "$work/release-1.6.0.0" 1.6.0.0
for env in TAVRINO_DOWNLOAD_BASE= TAVRINO_DOWNLOAD_BASE=http://download.tavrino.example \
  'TAVRINO_DOWNLOAD_BASE=https://x.example/"' TAVRINO_DOWNLOAD_BASE=https://x.example/path; do
  if start TAVRINO_RELEASE_DIR="$work/release-1.6.0.0" "$env" >/dev/null 2>&1; then fail "the services started with $env"; fi
done
echo "ok: without TLS a release needs an https download host ($(tail -1 "$work/start.log"))"

# HTTPS, as deployed: the offer is https on the service's own host whatever host the request
# names, which serves the exe with its SHA256SUMS beside it; TAVRINO_DOWNLOAD_BASE names
# another download host.
tls="$work/tls"
mkdir -p "$tls"
(
  cd "$tls"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout ca.key -out ca.pem -subj "/CN=Test authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
  openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=api.tavrino.example"
  printf 'subjectAltName=DNS:api.tavrino.example,DNS:evil.example\nextendedKeyUsage=serverAuth\n' >server.ext
  openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile server.ext -out server.pem
) >/dev/null 2>&1 || fail "openssl could not make the test certificates"
start TAVRINO_RELEASE_DIR="$work/release-1.6.0.0" TAVRINO_TLS_CERT="$tls/server.pem" TAVRINO_TLS_KEY="$tls/server.key" ||
  fail "the services did not start over HTTPS"
https() {
  curl -sS --max-time 5 --cacert "$tls/ca.pem" --resolve "api.tavrino.example:$port:127.0.0.1" \
    --resolve "evil.example:$port:127.0.0.1" "$@"
}
got=$(https -H 'User-Version: 1.5.6.0' "https://api.tavrino.example:$port/api.init.php")
url=$(sed -n 's/^{"update":"\([^"]*\)".*/\1/p' <<<"$got")
[ "$url" = "https://api.tavrino.example:$port/download/Tavrino.exe" ] || fail "the offer over HTTPS: $got"
mkdir "$work/fetched"
https -o "$work/fetched/Tavrino.exe" "$url"
https -o "$work/fetched/SHA256SUMS" "${url%/Tavrino.exe}/SHA256SUMS"
(cd "$work/fetched" && sha256sum -c SHA256SUMS) || fail "the download does not match the SHA256SUMS beside it"
cmp -s "$work/fetched/Tavrino.exe" "$work/release-1.6.0.0/Tavrino.exe" || fail "the download is not the release's exe"
echo "ok: over HTTPS the offer is $url; it and SHA256SUMS beside it download and match"

# Another host, over the same certificate or in the Host header alone, gets no offer.
for host in 'evil.example' 'evil.example"' 'evil.example":28931'; do
  got=$(https -H "Host: $host" -H 'User-Version: 1.5.6.0' -w '|%{http_code}' "https://api.tavrino.example:$port/api.init.php")
  [ "${got##*|}" = 421 ] && [[ $got != *evil* ]] || fail "Host '$host' over HTTPS: $got"
done
got=$(https -H 'User-Version: 1.5.6.0' -w '|%{http_code}' "https://evil.example:$port/api.init.php")
[ "${got##*|}" = 421 ] || fail "a request for evil.example over HTTPS: $got"
echo "ok: over HTTPS other hosts get 421 and no offer"

# HSTS on every answer of the service's host, Server without a version, forward secrecy only.
for path in /api.init.php /myip /download/Tavrino.exe /nothing; do
  got=$(https -o /dev/null -D - -H 'User-Version: 1.5.6.0' "https://api.tavrino.example:$port$path" | tr -d '\r')
  grep -qx 'Strict-Transport-Security: max-age=31536000' <<<"$got" || fail "$path has no HSTS: $got"
  grep -qx 'Server: nginx' <<<"$got" || fail "$path: the Server header tells more than nginx: $got"
done
got=$(https -o /dev/null -D - -H 'User-Version: 1.5.6.0' "https://api.tavrino.example:$port/api.init.php" | tr -d '\r')
grep -qx 'Cache-Control: no-store' <<<"$got" && grep -qx 'Vary: User-Version' <<<"$got" ||
  fail "the offer over HTTPS lacks Cache-Control or Vary: $got"
# TLS 1.2 cipher suite | accepted (1) or not (0)
suites='
ECDHE-RSA-AES128-GCM-SHA256|1
ECDHE-RSA-CHACHA20-POLY1305|1
AES128-GCM-SHA256|0
AES256-SHA256|0
DHE-RSA-AES128-GCM-SHA256|0
ECDHE-RSA-AES128-SHA|0
'
while IFS='|' read -r suite accepted; do
  [ -n "$suite" ] || continue
  if https --tls-max 1.2 --ciphers "$suite" -o /dev/null "https://api.tavrino.example:$port/myip" 2>/dev/null; then
    [ "$accepted" = 1 ] || fail "TLS 1.2 with $suite was accepted"
  else
    [ "$accepted" = 0 ] || fail "TLS 1.2 with $suite was refused"
  fi
done <<<"$suites"
https --tlsv1.3 -o /dev/null "https://api.tavrino.example:$port/myip" || fail "TLS 1.3 was refused"
echo "ok: over HTTPS HSTS and Server: nginx on every answer; TLS 1.3 and forward-secret TLS 1.2 suites only"

start TAVRINO_RELEASE_DIR="$work/release-1.6.0.0" TAVRINO_TLS_CERT="$tls/server.pem" TAVRINO_TLS_KEY="$tls/server.key" \
  TAVRINO_HOST=evil.example TAVRINO_DOWNLOAD_BASE=https://download.tavrino.example ||
  fail "the services did not start with a host and a download host"
got=$(https -H 'User-Version: 1.5.6.0' "https://evil.example:$port/api.init.php")
[ "$got" = "$offer" ] || fail "with TAVRINO_HOST and a download host: $got"
status=$(https -o /dev/null -w '%{http_code}' -H 'User-Version: 1.5.6.0' "https://api.tavrino.example:$port/api.init.php")
[ "$status" = 421 ] || fail "with TAVRINO_HOST=evil.example, api.tavrino.example got $status"
echo "ok: TAVRINO_HOST names the one host answered; TAVRINO_DOWNLOAD_BASE the download host offered"
