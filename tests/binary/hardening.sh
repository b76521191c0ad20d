#!/bin/bash
# The exe's own defences, as Windows reads them from the file: address-space layout
# randomisation (high-entropy on x86_64) and no execution of data; on i686, no structured
# exception handlers (NO_SEH), which holds only while no code registers one (no frame is ever
# pushed on the chain at fs:0); the stack protector linked in; and the DLL search restricted
# to the system directory by the first TLS callback, before any of the program's code runs.
set -euo pipefail
exe="$TAVRINO_EXE"
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
case "$TARGET_BITS" in
  32) objdump=i686-w64-mingw32-objdump ;;
  *)  objdump=x86_64-w64-mingw32-objdump ;;
esac
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }
headers=$($objdump -p "$exe")
flags=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$headers")
check "DYNAMIC_BASE" "grep -qw DYNAMIC_BASE <<<\"\$flags\""
check "NX_COMPAT" "grep -qw NX_COMPAT <<<\"\$flags\""
if [ "$TARGET_BITS" = 64 ]; then
  check "HIGH_ENTROPY_VA" "grep -qw HIGH_ENTROPY_VA <<<\"\$flags\""
else
  check "NO_SEH" "grep -qw NO_SEH <<<\"\$flags\""
  frames=$($objdump -d "$exe" | grep -E ',%fs:0x0$|,%fs:0$' | head -3 || true)
  check "no code writes the exception chain at fs:0" "[ -z \"\$frames\" ]"
  [ -z "$frames" ] || echo "$frames"
fi
check "the stack protector is linked in" "grep -qa 'stack smashing detected' \"\$exe\""
search=$(python3 "$SOURCE_DIR/tests/binary/pe_dll_search.py" "$exe" || true)
echo "$search"
[[ $search == ok* ]] || fail=1
exit $fail
