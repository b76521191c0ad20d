#!/bin/sh
# Runs one Windows program under Wine for the tests: in the prefix named by WINEPREFIX
# (the build tree's own, never ~/.wine), created on first use, and on a virtual display
# of its own when no display is set.
set -eu
: "${WINEPREFIX:?the tests set WINEPREFIX to a prefix under the build tree}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine-prefix.sh"
if [ -z "${DISPLAY:-}" ]; then
  # The prefix's server and desktop process would outlive this display: end them with it.
  rc=0
  "$here/with-display.sh" "$here/wine-exec.sh" "$@" || rc=$?
  wineserver -k 2>/dev/null || true
  exit $rc
fi
# The program's output goes through a file: the Wine server and the system processes that a
# run starts outlive it by seconds and inherit its descriptors, and a caller that reads the
# output through a pipe (ctest) would wait for them too.
out=$(mktemp)
rc=0
"$here/wine-exec.sh" "$@" >"$out" 2>&1 </dev/null || rc=$?
cat "$out"
rm -f "$out"
exit $rc
