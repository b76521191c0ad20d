#!/bin/bash
# The built Tavrino.exe: a GUI program of the build's machine type that imports only Windows'
# own DLLs (the C++ runtime is linked in) and carries its manifest and version information.
# The oldest Windows it supports, Windows 10 version 1703, is declared in the manifest and in
# the PE header, and no function it imports, directly or delay-loaded, is newer than that
# (tests/binary/newer_than_floor.txt).
set -euo pipefail
exe="$TAVRINO_EXE"
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
case "$TARGET_BITS" in
  32) triple=i686-w64-mingw32; format=pei-i386 ;;
  *)  triple=x86_64-w64-mingw32; format=pei-x86-64 ;;
esac
objdump=$triple-objdump
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }
headers=$($objdump -p "$exe")
check "file format $format" "grep -q 'file format $format' <<<\"\$headers\""
check "GUI subsystem" "grep -Eq 'Subsystem[[:space:]]+00000002' <<<\"\$headers\""
dlls=$(grep -i 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | sort -u)
echo "imports: $(echo $dlls)"
allowed='^(kernel32|user32|gdi32|gdiplus|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|uxtheme|dwmapi|winhttp|iphlpapi|ws2_32|version|oleacc|msvcrt|shlwapi|msimg32|api-ms-win-crt-[a-z0-9-]+|api-ms-win-core-[a-z0-9-]+)\.dll$'
for dll in $dlls; do
  check "imports only Windows DLLs: $dll" "grep -Eq '$allowed' <<<'$dll'"
done
check "no C++ runtime DLL" "! grep -Eq 'libstdc|libgcc|libwinpthread' <<<\"\$dlls\""
text=$(strings "$exe")
wide=$(strings -el "$exe")
check "manifest asks for administrator rights" "grep -q 'level=\"requireAdministrator\"' <<<\"\$text\""
check "manifest is per-monitor DPI aware (v2)" "grep -q '>PerMonitorV2<' <<<\"\$text\""
check "manifest asks for common controls 6" "grep -q 'name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"' <<<\"\$(tr -s ' \n' ' ' <<<\"\$text\")\""
check "version information 1.5.6.0" "grep -qx '1.5.6.0' <<<\"\$wide\""

# The oldest supported Windows: Windows 10 (the manifest lists it alone among the supported
# systems, the PE header asks for 10.0), version 1703 (the imports below).
check "PE header: operating system version 10.0" \
  "grep -Eq 'MajorOSystemVersion[[:space:]]+10\$' <<<\"\$headers\" && grep -Eq 'MinorOSystemVersion[[:space:]]+0\$' <<<\"\$headers\""
check "PE header: subsystem version 10.0" \
  "grep -Eq 'MajorSubsystemVersion[[:space:]]+10\$' <<<\"\$headers\" && grep -Eq 'MinorSubsystemVersion[[:space:]]+0\$' <<<\"\$headers\""
supported=$(grep -o 'supportedOS Id="{[^}]*}"' <<<"$text" | sort -u | tr '\n' ' ')
echo "manifest: $supported"
check "manifest supports Windows 10 and 11 alone" \
  "[ \"\$supported\" = 'supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\" ' ]"

floor="$SOURCE_DIR/tests/binary/newer_than_floor.txt"
# "dll function" lines of a file's imports that the floor does not have.
newer_imports() {
  python3 "$SOURCE_DIR/tests/binary/pe_imports.py" "$1" | awk '
    NR == FNR { sub(/#[^0-9].*$/, ""); sub(/[[:space:]]+#[[:space:]].*$/, "")
                if ($1 != "" && $1 !~ /^#/) banned[tolower($1) " " $2] = 1; next }
    ("* " $2) in banned || ($1 " " $2) in banned' "$floor" -
}
imported=$(python3 "$SOURCE_DIR/tests/binary/pe_imports.py" "$exe")
echo "imported functions: $(wc -l <<<"$imported")"
check "the delay-loaded imports are read too (winhttp.dll WinHttpOpen)" \
  "grep -qx 'winhttp.dll WinHttpOpen' <<<\"\$imported\""
newer=$(newer_imports "$exe")
check "no imported function is newer than Windows 10 version 1703" "[ -z \"\$newer\" ]"
[ -z "$newer" ] || sed 's/^/  newer than the floor: /' <<<"$newer"

# The check itself catches a program that imports such functions, directly and delay-loaded.
probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
cat >"$probe_dir/newer.c" <<'C'
#include <windows.h>
HRESULT WINAPI CreatePseudoConsole(COORD size, HANDLE in, HANDLE out, DWORD flags, void **console);
DWORD WINAPI GetNetworkConnectivityHint(void *hint);
int WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d)
{
    void *console;
    char hint[16];
    CreatePseudoConsole((COORD){80, 25}, NULL, NULL, 0, &console);
    return (int)GetNetworkConnectivityHint(hint);
}
C
if $triple-gcc -D_WIN32_WINNT=0x0A00 -mwindows -o "$probe_dir/newer.exe" \
    "$probe_dir/newer.c" "$BUILD_DIR/delayimp/libiphlpapi_delay.a" 2>"$probe_dir/cc.log"; then
  caught=$(newer_imports "$probe_dir/newer.exe" | tr '\n' ' ')
  check "the floor check catches newer imports: $caught" \
    "[ \"\$caught\" = 'iphlpapi.dll GetNetworkConnectivityHint kernel32.dll CreatePseudoConsole ' ]"
else
  cat "$probe_dir/cc.log"
  check "the floor check's probe program builds" false
fi
exit $fail
