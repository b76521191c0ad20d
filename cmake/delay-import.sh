#!/bin/bash
# Makes a delay-load import library for one system DLL from MinGW's own import library:
# delay-import.sh TRIPLE NAME OUTDIR writes OUTDIR/libNAME_delay.a. The program links such
# DLLs delay-loaded, so that Windows resolves them only after the entry has restricted the
# DLL search to the system directory, never from the folder the program was started from.
set -euo pipefail
t=$1 n=$2 out=$3
{ echo "LIBRARY $n.dll"; echo EXPORTS
  nm "/usr/$t/lib/lib$n.a" | awk '$2 == "I" && $3 ~ /^__imp_/ { s = $3; sub(/^__imp_/, "", s); if (t ~ /^i686/) sub(/^_/, "", s); print s }' t="$t" | sort -u
} > "$out/$n.def"
k=; [[ $t == i686* ]] && k=-k
"$t-dlltool" $k -d "$out/$n.def" -y "$out/lib${n}_delay.a" -D "$n.dll"
