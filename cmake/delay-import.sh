#!/bin/bash
# Makes a delay-load import library for one system DLL from MinGW's own import library:
# delay-import.sh TRIPLE NAME OUTDIR [IMPORT-LIBRARY] writes OUTDIR/libNAME_delay.a. The
# program links such DLLs delay-loaded, so that Windows resolves them only after the entry
# has restricted the DLL search to the system directory, never from the folder the program
# was started from.
#
# Only functions imported by name are offered. A member that imports data (it has no code
# thunk beside its __imp_ pointer) cannot be delay-loaded: its pointer would be a stub's
# address, not the data's. A member that imports by ordinal alone (no hint/name entry) would
# be written into the .def file under its symbol's name and looked for by a name the DLL does
# not export. Both are left out and named on stderr, so that a program that uses one fails to
# link instead of failing when it runs.
set -euo pipefail
t=$1 n=$2 out=$3 lib=${4:-/usr/$1/lib/lib$2.a}
[ -f "$lib" ] || { echo "delay-import.sh: no import library $lib" >&2; exit 1; }
members=$("$t-ar" t "$lib")
if [ -n "$(sort <<<"$members" | uniq -d)" ]; then
  echo "delay-import.sh: $lib has members of the same name; they cannot be told apart" >&2
  exit 1
fi
# The members whose hint/name entry (.idata$6) is not empty: the ones that import by name.
named=$("$t-objdump" -h "$lib" | awk '/file format/ { m = $1; sub(/:$/, "", m) }
  $2 == ".idata$6" && $3 !~ /^0+$/ { print m }' | sort -u)
{ echo "LIBRARY $n.dll"; echo EXPORTS
  # "archive:member:[address] type symbol" for every member's symbols.
  "$t-nm" -A "$lib" 2>/dev/null | awk -v t="$t" -v named="$named" '
    BEGIN { split(named, list, "\n"); for (i in list) byname[list[i]] = 1 }
    { n = split($1, where, ":"); member = where[n - 1]; symbol = $NF; type = $(NF - 1) }
    type == "I" && symbol ~ /^__imp_/ { imp[member] = substr(symbol, 7) }
    type == "T" { code[member, symbol] = 1 }
    END {
      for (member in imp) {
        s = imp[member]
        if (!((member, s) in code)) { print "delay-import.sh: left out, imports data: " s > "/dev/stderr"; continue }
        if (!(member in byname)) { print "delay-import.sh: left out, imports an ordinal only: " s > "/dev/stderr"; continue }
        if (t ~ /^i686/) sub(/^_/, "", s)
        print s
      }
    }' | sort -u
} > "$out/$n.def"
k=; [[ $t == i686* ]] && k=-k
"$t-dlltool" $k -d "$out/$n.def" -y "$out/lib${n}_delay.a" -D "$n.dll"
