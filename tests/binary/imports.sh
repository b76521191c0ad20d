#!/bin/bash
# The built Tavrino.exe: a GUI program of the build's machine type that imports only Windows'
# own DLLs (the C++ runtime is linked in) and carries its manifest and version information.
set -euo pipefail
exe="$TAVRINO_EXE"
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
case "$TARGET_BITS" in
  32) objdump=i686-w64-mingw32-objdump; format=pei-i386 ;;
  *)  objdump=x86_64-w64-mingw32-objdump; format=pei-x86-64 ;;
esac
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
exit $fail
