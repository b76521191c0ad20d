#!/bin/bash
# Starts the reference deployment of the maker's two endpoints on nginx, on 127.0.0.1:PORT,
# with its configuration, logs, pid file and temporary files under DIR (never the system's
# /etc/nginx). Returns once the port answers. Stop it with services/stop.sh DIR.
#
#   /myip           {"ip":"<caller's address>"}
#   /api.init.php   "User-Command: hold": {"result":"held"}
#                   otherwise, by "User-Version": an offer of the release's download address
#                   to a version older than the release's (the four numbers compared one by
#                   one), {"result":"latest"} to any other version, a malformed one included,
#                   and to every version when there is no release.
#   /download/      the release's Tavrino.exe with its SHA256SUMS beside it
#
# TAVRINO_RELEASE_DIR names the release to offer, a folder as scripts/release.sh writes it
# (Tavrino.exe, SHA256SUMS, release.json); its files are checked against SHA256SUMS and
# release.json and copied to DIR/www/download at start.
#
# The update answer and the offered address never come from the request: the service answers
# only requests for its own host, TAVRINO_HOST (default: api.tavrino.example, the shipped
# program's, with TLS; 127.0.0.1 without), and refuses any other Host with 421. The update
# check's answers are never stored by a cache (Cache-Control: no-store) and vary by
# User-Version.
#
# A test selects the answer of the update check itself by starting the service with
# TAVRINO_TEST_ANSWER=1 and writing DIR/www/answer.json (served as it is until removed);
# without that setting the file is never served. Every request is logged with the update
# headers in DIR/logs/access.log.
#
# HTTPS, as a deployment serves the program: TAVRINO_TLS_CERT and TAVRINO_TLS_KEY name a PEM
# certificate (chain) and its key for TAVRINO_HOST; the port then speaks TLS only (1.2 and 1.3,
# forward-secret key exchanges only, HSTS), and the download address offered is
# https://TAVRINO_HOST[:PORT]/download/Tavrino.exe. TAVRINO_DOWNLOAD_BASE (https, host and
# optional port, no path) names another download host that serves DIR/www/download at
# /download/. The program opens only https addresses: without TLS a release is offered only
# with an https TAVRINO_DOWNLOAD_BASE. TAVRINO_LISTEN is the address to listen on (default
# 127.0.0.1; a deployment on a server: 0.0.0.0).
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 PORT DIR" >&2; exit 2; }
port=$1
dir=$(realpath -m "$2")
command -v nginx >/dev/null || { echo "nginx is missing: apt-get install -y nginx" >&2; exit 1; }
case "$port" in '' | *[!0-9]*) echo "PORT must be a number" >&2; exit 2 ;; esac
listen_addr=${TAVRINO_LISTEN:-127.0.0.1}
release=${TAVRINO_RELEASE_DIR:-}
cert=${TAVRINO_TLS_CERT:-}
key=${TAVRINO_TLS_KEY:-}
if [ -n "$cert$key" ]; then
  [ -r "$cert" ] && [ -r "$key" ] || { echo "TAVRINO_TLS_CERT and TAVRINO_TLS_KEY must both name readable PEM files" >&2; exit 2; }
  cert=$(realpath "$cert")
  key=$(realpath "$key")
  host=${TAVRINO_HOST:-api.tavrino.example}
  # TLS 1.3's suites all have forward secrecy; for 1.2 only the ECDHE ones with AEAD ciphers.
  tls="ssl_certificate $cert;
        ssl_certificate_key $key;
        ssl_protocols TLSv1.2 TLSv1.3;
        ssl_ciphers ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-RSA-AES128-GCM-SHA256:ECDHE-ECDSA-AES256-GCM-SHA384:ECDHE-RSA-AES256-GCM-SHA384:ECDHE-ECDSA-CHACHA20-POLY1305:ECDHE-RSA-CHACHA20-POLY1305;
        ssl_prefer_server_ciphers off;
        ssl_session_tickets off;"
  ssl=" ssl"
  hsts="add_header Strict-Transport-Security \"max-age=31536000\" always;"
  scheme=https
else
  host=${TAVRINO_HOST:-127.0.0.1}
  tls=
  ssl=
  hsts=
  scheme=http
fi
[[ $host =~ ^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?$ ]] ||
  { echo "TAVRINO_HOST must be a host name or an IPv4 address: '$host'" >&2; exit 2; }
download=
[ "$scheme" = https ] && download="https://$host$([ "$port" = 443 ] || echo ":$port")/download/Tavrino.exe"
if [ -n "${TAVRINO_DOWNLOAD_BASE:-}" ]; then
  [[ $TAVRINO_DOWNLOAD_BASE =~ ^https://[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?(:[0-9]{1,5})?/?$ ]] ||
    { echo "TAVRINO_DOWNLOAD_BASE must be https://HOST[:PORT]: the program opens no other address" >&2; exit 2; }
  download="${TAVRINO_DOWNLOAD_BASE%/}/download/Tavrino.exe"
fi
by_version='return 200 $update_answer;'
[ "${TAVRINO_TEST_ANSWER:-}" = 1 ] && by_version='try_files /answer.json @by_version;'

# A version number as the program sends it: four decimal numbers without leading zeros.
num='(0|[1-9][0-9]{0,4})'
# An extended regular expression (no anchors) of the numbers smaller than $1; empty for 0.
smaller_than() {
  local n=$1 len=${#1} alts=() j k lo d rest
  for ((k = 1; k < len; k++)); do
    if [ "$k" -eq 1 ]; then alts+=('[0-9]'); else alts+=("[1-9][0-9]{$((k - 1))}"); fi
  done
  for ((j = 0; j < len; j++)); do
    d=${n:j:1}
    lo=0
    [ "$j" -eq 0 ] && [ "$len" -gt 1 ] && lo=1
    [ "$d" -gt "$lo" ] || continue
    rest=
    [ $((len - j - 1)) -eq 0 ] || rest="[0-9]{$((len - j - 1))}"
    alts+=("${n:0:j}[$lo-$((d - 1))]$rest")
  done
  local IFS='|'
  [ ${#alts[@]} -eq 0 ] || echo "(${alts[*]})"
}
# The map entries that mark the versions older than $1: for each of its four numbers, the
# versions whose numbers before it are the same and whose number there is smaller.
older_entries() {
  local parts i j head less tail
  IFS=. read -r -a parts <<<"$1"
  for i in 0 1 2 3; do
    less=$(smaller_than "${parts[i]}")
    [ -n "$less" ] || continue
    head=
    for ((j = 0; j < i; j++)); do head+="${parts[j]}\\."; done
    tail=
    for ((j = i + 1; j < 4; j++)); do tail+="\\.$num"; done
    printf '        "~^%s%s%s$" 1;\n' "$head" "$less" "$tail"
  done
}

older=
if [ -n "$release" ]; then
  [ -f "$release/Tavrino.exe" ] && [ -f "$release/SHA256SUMS" ] && [ -f "$release/release.json" ] ||
    { echo "TAVRINO_RELEASE_DIR must hold Tavrino.exe, SHA256SUMS and release.json" >&2; exit 2; }
  version=$(grep -o '"version" *: *"[^"]*"' "$release/release.json" | sed 's/.*"\([^"]*\)"$/\1/')
  sha=$(grep -o '"sha256" *: *"[^"]*"' "$release/release.json" | sed 's/.*"\([^"]*\)"$/\1/')
  [[ $version =~ ^$num\.$num\.$num\.$num$ ]] ||
    { echo "release.json gives no version of four numbers: '$version'" >&2; exit 2; }
  (cd "$release" && sha256sum --quiet --strict -c SHA256SUMS) >/dev/null 2>&1 ||
    { echo "Tavrino.exe does not match the release's SHA256SUMS" >&2; exit 2; }
  [ "$(sha256sum "$release/Tavrino.exe" | cut -d' ' -f1)" = "$sha" ] ||
    { echo "Tavrino.exe does not match the SHA-256 in release.json" >&2; exit 2; }
  [ -n "$download" ] ||
    { echo "a release is offered only at an https address: give TAVRINO_TLS_CERT and TAVRINO_TLS_KEY, or an https TAVRINO_DOWNLOAD_BASE" >&2; exit 2; }
  older=$(older_entries "$version")
fi

if [ -f "$dir/nginx.pid" ] && kill -0 "$(cat "$dir/nginx.pid")" 2>/dev/null; then
  echo "already running under $dir" >&2
  exit 1
fi
mkdir -p "$dir/logs" "$dir/tmp" "$dir/www/download"
# Workers run as nobody when nginx is started by root: they read the answer files.
chmod 755 "$dir" "$dir/www" "$dir/www/download"
rm -f "$dir/www/download/Tavrino.exe" "$dir/www/download/SHA256SUMS"
if [ -n "$release" ]; then
  cp "$release/Tavrino.exe" "$release/SHA256SUMS" "$dir/www/download/"
  chmod 644 "$dir/www/download/Tavrino.exe" "$dir/www/download/SHA256SUMS"
fi

cat >"$dir/nginx.conf" <<CONF
# Written by services/start.sh; rewritten at every start.
worker_processes 1;
daemon on;
pid $dir/nginx.pid;
error_log $dir/logs/error.log warn;

events { worker_connections 64; }

http {
    access_log off;
    client_body_temp_path $dir/tmp/body;
    proxy_temp_path $dir/tmp/proxy;
    fastcgi_temp_path $dir/tmp/fastcgi;
    uwsgi_temp_path $dir/tmp/uwsgi;
    scgi_temp_path $dir/tmp/scgi;
    types { application/octet-stream exe; application/json json; }
    default_type application/json;
    charset utf-8;
    charset_types application/json;

    # One line per request with the headers of the update service ("-" when missing).
    log_format update escape=json '\$remote_addr [\$time_iso8601] "\$request" \$status '
                                  'version="\$http_user_version" language="\$http_user_language" '
                                  'debug="\$http_user_debug" union="\$http_user_union" '
                                  'command="\$http_user_command" scheme="\$scheme" host="\$host"';

    map \$http_user_command \$hold {
        hold    1;
        default 0;
    }
    # The versions older than the release's${version:+ ($version)}.
    map \$http_user_version \$older {
        default 0;
$older
    }
    map \$older \$update_answer {
        1       '{"update":"$download","info":{"style":"","text":"","flag":"","url":""}}';
        default '{"result":"latest"}';
    }

    server_tokens off;

    # Requests for any other host (or none) are refused: nothing is answered on their behalf.
    server {
        listen $listen_addr:$port default_server$ssl;
        $tls
        server_name "";
        access_log $dir/logs/access.log update;
        return 421 '{"error":"unknown host"}';
    }

    server {
        listen $listen_addr:$port$ssl;
        $tls
        server_name $host;
        access_log $dir/logs/access.log update;
        root $dir/www;
        $hsts

        location = /myip {
            return 200 '{"ip":"\$remote_addr"}';
        }
        # The answer depends on User-Version (and User-Command) alone and is never stored.
        location = /api.init.php {
            $hsts
            add_header Cache-Control no-store always;
            add_header Vary User-Version always;
            if (\$hold) {
                return 200 '{"result":"held"}';
            }
            $by_version
        }
        location @by_version {
            $hsts
            add_header Cache-Control no-store always;
            add_header Vary User-Version always;
            return 200 \$update_answer;
        }
        location /download/ {
        }
        location = /download/SHA256SUMS {
            default_type text/plain;
        }
        location / {
            return 404 '{"error":"not found"}';
        }
    }
}
CONF

nginx -t -q -p "$dir" -c "$dir/nginx.conf" -e "$dir/logs/error.log"
nginx -p "$dir" -c "$dir/nginx.conf" -e "$dir/logs/error.log"
for _ in $(seq 50); do
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    echo "$scheme://127.0.0.1:$port"
    exit 0
  fi
  sleep 0.1
done
echo "nginx did not start listening on 127.0.0.1:$port (see $dir/logs/error.log)" >&2
exit 1
