#!/bin/bash
# How the built Tavrino.exe has Windows load its DLLs. It runs elevated, so a DLL that Windows
# would look for beside it (in a downloads folder, say) is a way in, and a delay-load slot
# that was linked wrong is a jump to nowhere that shows only on a user's PC:
# - every DLL that the loader resolves before the entry is a Known DLL, or the common
#   controls, which the manifest takes from the side-by-side store;
# - every delay-load slot holds, until the first call, a stub that loads that very slot
#   (GNU ld's i686 emulation drops the stub of a function called through its __imp_ pointer,
#   and the slot is then 0);
# - on x86_64 the delay-load helper does not keep xmm0-xmm3, so no delay-loaded function takes
#   floating-point arguments (the first call would get whatever the helper left there);
# - the delay-load import libraries offer functions imported by name only.
# Each check is shown to catch what it is there for, on a small program built here.
set -euo pipefail
exe="$TAVRINO_EXE"
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
case "$TARGET_BITS" in
  32) triple=i686-w64-mingw32 ;;
  *)  triple=x86_64-w64-mingw32 ;;
esac
fail=0
ok() { echo "ok: $1"; }
bad() { echo "FAIL: $1"; fail=1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
slots="$SOURCE_DIR/tests/binary/pe_delay_slots.py"

# DLLs that the loader resolves before the entry runs are searched beside the program first
# unless Windows keeps them as Known DLLs (the list of Windows 10 and 11).
known='^(advapi32|clbcatq|combase|comdlg32|coml2|gdi32|gdiplus|imagehlp|imm32|kernel32|msctf|msvcrt|normaliz|nsi|ole32|oleaut32|psapi|rpcrt4|sechost|setupapi|shcore|shell32|shlwapi|user32|wldap32|ws2_32)\.dll$'
manifest_comctl=$(strings "$exe" | tr -s ' \n' ' ' | grep -c 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' || true)
planted=""
for dll in $($triple-objdump -p "$exe" | grep -i 'DLL Name:' | awk '{print tolower($3)}' | sort -u); do
  grep -Eq "$known" <<<"$dll" && continue
  [ "$dll" = comctl32.dll ] && [ "$manifest_comctl" -gt 0 ] && continue
  planted="$planted $dll"
done
if [ -z "$planted" ]; then ok "every DLL loaded before the entry is a Known DLL or the manifest's common controls"
else bad "DLLs loaded before the entry and looked for beside the program first:$planted"; fi

# Delay-load slots.
report=$(python3 "$slots" "$exe")
failed=$(grep '^FAIL' <<<"$report" || true)
count=$(grep -c '^ok' <<<"$report" || true)
if [ -z "$failed" ] && [ "$count" -gt 0 ]; then ok "each of the $count delay-load slots starts at a stub that loads it"
else bad "delay-load slots that do not start at their own stub:"; echo "$failed"; fi

# The functions that the x86_64 helper reaches without keeping xmm0-xmm3, read against their
# declarations in the SDK headers: "dll function" lines of those that take a float or double.
float_arguments() {
  { cat <<'C'
#include <winsock2.h>
#include <windows.h>
#include <oleauto.h>
#include <dwmapi.h>
#include <iphlpapi.h>
#include <oleacc.h>
#include <winhttp.h>
#include <type_traits>
template <class R, class... A>
constexpr bool TakesFloat(R (WINAPI *)(A...)) { return (std::is_floating_point<A>::value || ... || false); }
C
    while read -r dll function; do
      echo "static_assert(!TakesFloat(&$function), \"$dll $function\");"
    done <<<"$1"
  } >"$work/float.cpp"
  if x86_64-w64-mingw32-g++-posix -std=c++17 -fsyntax-only -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN \
      -D_WIN32_WINNT=0x0A00 "$work/float.cpp" 2>"$work/float.log"; then
    return 0
  fi
  # Any error other than the assertions means a function the check could not read.
  if grep 'error:' "$work/float.log" | grep -qv 'static assertion failed'; then
    echo "unreadable: $(grep -m3 'error:' "$work/float.log" | grep -v 'static assertion failed' | tr '\n' ' ')"
  fi
  sed -n 's/.*static assertion failed: //p' "$work/float.log"
}
if [ "$TARGET_BITS" = 64 ]; then
  lost=$(sed -n 's/^xmm-lost //p' <<<"$report")
  floats=""
  [ -z "$lost" ] || floats=$(float_arguments "$lost")
  if [ -z "$floats" ]; then ok "no delay-loaded function takes floating-point arguments ($(wc -l <<<"$lost") read)"
  else bad "delay-loaded functions that take floating-point arguments through the helper:"; echo "$floats"; fi
fi

# The checks catch what they are there for. The probe calls a function of oleaut32, declared
# dllimport in the headers, and one that takes a double, both delay-loaded.
cat >"$work/probe.c" <<'C'
#include <windows.h>
#include <oleauto.h>
int WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d)
{
    double rounded;
    BSTR text = SysAllocString(L"x");
    VarR8Round(1234.5, 0, &rounded);
    return text != 0 && rounded > 0;
}
C
if bash "$SOURCE_DIR/cmake/delay-import.sh" "$triple" oleaut32 "$work" 2>/dev/null &&
   $triple-gcc -mwindows -o "$work/probe.exe" "$work/probe.c" "$work/liboleaut32_delay.a" 2>"$work/cc.log"; then
  probe=$(python3 "$slots" "$work/probe.exe")
  if [ "$TARGET_BITS" = 32 ]; then
    caught=$(grep '^FAIL' <<<"$probe" | cut -d: -f1 | tr '\n' ' ')
    if [ "$caught" = 'FAIL oleaut32.dll SysAllocString ' ]; then ok "the slot check catches a stub the linker dropped: $caught"
    else bad "the slot check misses the dropped stub of SysAllocString: $probe"; fi
  else
    caught=$(float_arguments "$(sed -n 's/^xmm-lost //p' <<<"$probe")" | tr '\n' ' ')
    if [ "$caught" = 'oleaut32.dll VarR8Round ' ]; then ok "the argument check catches a delay-loaded function that takes a double"
    else bad "the argument check misses VarR8Round: $caught"; fi
  fi
else
  cat "$work/cc.log"
  bad "the probe program builds"
fi

# The delay-load import library of a DLL that exports a function, data and an ordinal-only
# function offers the function alone.
case "$TARGET_BITS" in
  32) printf 'LIBRARY probe.dll\nEXPORTS\nProbeFunction@4\nProbeData DATA\nProbeOrdinal@8 @7 NONAME\n' ;;
  *)  printf 'LIBRARY probe.dll\nEXPORTS\nProbeFunction\nProbeData DATA\nProbeOrdinal @7 NONAME\n' ;;
esac >"$work/probe-in.def"
mkdir "$work/delay"
if $triple-dlltool -d "$work/probe-in.def" -l "$work/libprobe-in.a" &&
   bash "$SOURCE_DIR/cmake/delay-import.sh" "$triple" probe "$work/delay" "$work/libprobe-in.a" 2>"$work/left.log"; then
  offered=$(sed -n '3,$p' "$work/delay/probe.def" | tr '\n' ' ')
  if grep -q '^ProbeFunction' <<<"$offered" && ! grep -q 'ProbeData\|ProbeOrdinal' <<<"$offered" &&
     grep -q 'imports data: _\?ProbeData' "$work/left.log" && grep -q 'an ordinal only: _\?ProbeOrdinal' "$work/left.log"; then
    ok "delay-import.sh leaves out data and ordinal-only imports"
  else
    bad "delay-import.sh offers: $offered; said: $(tr '\n' ' ' <"$work/left.log")"
  fi
else
  bad "delay-import.sh makes a library from a probe import library"
fi
exit $fail
