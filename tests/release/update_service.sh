#!/bin/bash
# The reference update service with a release (services/start.sh, TAVRINO_RELEASE_DIR) on
# loopback, asked with curl: the release is offered to older versions only, the four numbers
# compared one by one; malformed versions, the release's own and newer ones get no offer, nor
# does anybody without a release; the hold request is answered and logged; over HTTPS the
# offered address is https on the host asked and serves the exe with SHA256SUMS beside it; a
# release whose files do not match its checksums is refused.
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
offer="{\"update\":\"http://127.0.0.1:PORT/download/Tavrino.exe\",\"info\":{\"style\":\"\",\"text\":\"\",\"flag\":\"\",\"url\":\"\"}}"
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
    start TAVRINO_RELEASE_DIR="$work/release-$release" || fail "the services did not start with release $release"
    current=$release
  fi
  got=$(answer "$asked")
  want=$latest
  [ "$expected" = 1 ] && want=${offer/PORT/$port}
  [ "$got" = "$want" ] || fail "release $release, version '$asked': got $got, expected $want"
  echo "ok: release $release, version '$asked': $([ "$expected" = 1 ] && echo offered || echo 'no offer')"
done <<<"$cases"

# Against a plain numeric comparison, every version made of these numbers.
make_release "$work/release-2.10.0.9" 2.10.0.9
start TAVRINO_RELEASE_DIR="$work/release-2.10.0.9" || fail "the services did not start"
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
  if older "$v"; then want=${offer/PORT/$port}; else want=$latest; fi
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
  if start TAVRINO_RELEASE_DIR="$work/$bad" >/dev/null 2>&1; then fail "the services started with $bad"; fi
done
echo "ok: releases that do not match their checksums or version are refused ($(tail -1 "$work/start.log"))"

# HTTPS, as deployed: the offer is https on the host asked, which serves the exe with its
# SHA256SUMS beside it; TAVRINO_DOWNLOAD_BASE names another download host.
tls="$work/tls"
mkdir -p "$tls"
(
  cd "$tls"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout ca.key -out ca.pem -subj "/CN=Test authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
  openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=api.tavrino.example"
  printf 'subjectAltName=DNS:api.tavrino.example\nextendedKeyUsage=serverAuth\n' >server.ext
  openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile server.ext -out server.pem
) >/dev/null 2>&1 || fail "openssl could not make the test certificates"
make_release "$work/release-1.6.0.0" 1.6.0.0
start TAVRINO_RELEASE_DIR="$work/release-1.6.0.0" TAVRINO_TLS_CERT="$tls/server.pem" TAVRINO_TLS_KEY="$tls/server.key" ||
  fail "the services did not start over HTTPS"
https() { curl -sS --max-time 5 --cacert "$tls/ca.pem" --resolve "api.tavrino.example:$port:127.0.0.1" "$@"; }
got=$(https -H 'User-Version: 1.5.6.0' "https://api.tavrino.example:$port/api.init.php")
url=$(sed -n 's/^{"update":"\([^"]*\)".*/\1/p' <<<"$got")
[ "$url" = "https://api.tavrino.example:$port/download/Tavrino.exe" ] || fail "the offer over HTTPS: $got"
mkdir "$work/fetched"
https -o "$work/fetched/Tavrino.exe" "$url"
https -o "$work/fetched/SHA256SUMS" "${url%/Tavrino.exe}/SHA256SUMS"
(cd "$work/fetched" && sha256sum -c SHA256SUMS) || fail "the download does not match the SHA256SUMS beside it"
cmp -s "$work/fetched/Tavrino.exe" "$work/release-1.6.0.0/Tavrino.exe" || fail "the download is not the release's exe"
echo "ok: over HTTPS the offer is $url; it and SHA256SUMS beside it download and match"
start TAVRINO_RELEASE_DIR="$work/release-1.6.0.0" TAVRINO_DOWNLOAD_BASE=https://download.tavrino.example ||
  fail "the services did not start with a download host"
got=$(answer 1.5.6.0)
[ "$got" = "${offer/http:\/\/127.0.0.1:PORT/https://download.tavrino.example}" ] || fail "with a download host: $got"
echo "ok: with TAVRINO_DOWNLOAD_BASE the offer is on that host"
