#!/bin/bash
# Values written by the program's registry code, read back from outside it with reg.exe.
set -euo pipefail
run() { "$SOURCE_DIR/cmake/wine-run.sh" "$@"; }
TAVRINO_OUTSIDE_CHECK=1 WINEDEBUG=-all run "$WINE_TESTS_EXE" --gtest_filter='RegistryOutside.*' >/dev/null
query() { { run reg query "$1" /v "$2" 2>/dev/null || true; } | tr -d '\r' | awk -v n="$2" '$1 == n { print $2, $3 }'; }
fail=0
expect() {
  local got; got=$(query "$1" "$2")
  if [ "$got" = "$3" ]; then echo "ok: $1 $2 = $got"; else echo "FAIL: $1 $2 = '$got', expected '$3'"; fail=1; fi
}
expect 'HKLM\SOFTWARE\TavrinoOutside' MinusOne 'REG_DWORD 0xffffffff'
expect 'HKLM\SOFTWARE\TavrinoOutside' Twenty 'REG_DWORD 0x14'
expect 'HKLM\SOFTWARE\TavrinoOutside' Gone ''
expect 'HKCU\Software\TavrinoOutside' tcpnodelay 'REG_DWORD 0x1'
expect 'HKCU\Software\TavrinoOutside' status 'REG_DWORD 0x0'
expect 'HKCU\Software\TavrinoOutside' text 'REG_SZ Run'
run reg delete 'HKLM\SOFTWARE\TavrinoOutside' /f >/dev/null 2>&1 || true
run reg delete 'HKCU\Software\TavrinoOutside' /f >/dev/null 2>&1 || true
exit $fail
