#!/bin/bash
# Starts the reference deployment of the maker's two endpoints on nginx, on 127.0.0.1:PORT,
# with its configuration, logs, pid file and temporary files under DIR (never the system's
# /etc/nginx). Returns once the port answers. Stop it with services/stop.sh DIR.
#
#   /myip           {"ip":"<caller's address>"}
#   /api.init.php   "User-Command: hold": {"result":"held"}
#                   otherwise, by "User-Version": no offer for 1.5.6.0 (the current version),
#                   an offer of the download address for any other version.
#
# A test selects the answer of the update check itself by writing DIR/www/answer.json (served
# as it is until removed); every request is logged with the update headers in
# DIR/logs/access.log.
#
# HTTPS, as a deployment serves the program: TAVRINO_TLS_CERT and TAVRINO_TLS_KEY name a PEM
# certificate (chain) and its key for the host names the program uses; the port then speaks
# TLS only, and the download address offered is https on the host the request named.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 PORT DIR" >&2; exit 2; }
port=$1
dir=$(realpath -m "$2")
command -v nginx >/dev/null || { echo "nginx is missing: apt-get install -y nginx" >&2; exit 1; }
case "$port" in '' | *[!0-9]*) echo "PORT must be a number" >&2; exit 2 ;; esac
cert=${TAVRINO_TLS_CERT:-}
key=${TAVRINO_TLS_KEY:-}
if [ -n "$cert$key" ]; then
  [ -r "$cert" ] && [ -r "$key" ] || { echo "TAVRINO_TLS_CERT and TAVRINO_TLS_KEY must both name readable PEM files" >&2; exit 2; }
  cert=$(realpath "$cert")
  key=$(realpath "$key")
  listen="listen 127.0.0.1:$port ssl;
        ssl_certificate $cert;
        ssl_certificate_key $key;
        ssl_protocols TLSv1.2 TLSv1.3;"
  download="https://\$host$([ "$port" = 443 ] || echo ":$port")/download/Tavrino.exe"
  scheme=https
else
  listen="listen 127.0.0.1:$port;"
  download="http://127.0.0.1:$port/download/Tavrino.exe"
  scheme=http
fi

if [ -f "$dir/nginx.pid" ] && kill -0 "$(cat "$dir/nginx.pid")" 2>/dev/null; then
  echo "already running under $dir" >&2
  exit 1
fi
mkdir -p "$dir/logs" "$dir/tmp" "$dir/www/download"
# Workers run as nobody when nginx is started by root: they read the answer files.
chmod 755 "$dir" "$dir/www" "$dir/www/download"
[ -f "$dir/www/download/Tavrino.exe" ] || printf 'MZ reference download\n' >"$dir/www/download/Tavrino.exe"
chmod 644 "$dir/www/download/Tavrino.exe"

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
    map \$http_user_version \$update_answer {
        "1.5.6.0" '{"result":"latest"}';
        default   '{"update":"$download","info":{"style":"","text":"","flag":"","url":""}}';
    }

    server {
        $listen
        server_name localhost;
        access_log $dir/logs/access.log update;
        root $dir/www;

        location = /myip {
            return 200 '{"ip":"\$remote_addr"}';
        }
        location = /api.init.php {
            if (\$hold) {
                return 200 '{"result":"held"}';
            }
            try_files /answer.json @by_version;
        }
        location @by_version {
            return 200 \$update_answer;
        }
        location /download/ {
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
