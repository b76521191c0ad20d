#!/bin/bash
# Stops the reference deployment started by services/start.sh PORT DIR, by its pid file.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
dir=$(realpath -m "$1")
pidfile="$dir/nginx.pid"
[ -f "$pidfile" ] || exit 0
pid=$(cat "$pidfile")
if kill -0 "$pid" 2>/dev/null; then
  kill -QUIT "$pid"
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && kill -TERM "$pid"
fi
rm -f "$pidfile"
