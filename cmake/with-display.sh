#!/bin/bash
# Runs a command on a virtual display of its own (see scripts/display.bash), ended with it:
#   with-display.sh COMMAND [ARGUMENT...]
source "$(dirname "$0")/../scripts/display.bash"
display_start || exit 1
trap display_stop EXIT
rc=0
"$@" || rc=$?
exit $rc
