#!/bin/bash
# Hygiene of a program that runs elevated: the DLL search path is the system directory alone
# from the first statement of the entry on (SetDefaultDllDirectories), no code adds a search
# directory or loads a DLL by bare name from anywhere else, every DLL that the loader itself
# resolves before the entry runs is one that Windows never looks for beside the program (a
# Known DLL, or the common controls from the side-by-side store), and certificate checks of
# the HTTP client are never relaxed.
set -euo pipefail
exe="$TAVRINO_EXE"
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
case "$TARGET_BITS" in
  32) objdump=i686-w64-mingw32-objdump ;;
  *)  objdump=x86_64-w64-mingw32-objdump ;;
esac
fail=0
ok() { echo "ok: $1"; }
bad() { echo "FAIL: $1"; fail=1; }
cd "$SOURCE_DIR"
sources=$(ls app/*.cpp app/*.h system/*.cpp system/*.h common/*.cpp common/*.h \
  styling/*.cpp styling/*.h toolkit/*.cpp toolkit/*.h 2>/dev/null)

# Certificate verification: no security flag of WinHTTP (or WinINet) is ever set.
relaxed=$(grep -nE 'WINHTTP_OPTION_SECURITY_FLAGS|SECURITY_FLAG_IGNORE_|INTERNET_FLAG_IGNORE_CERT|WINHTTP_OPTION_CLIENT_CERT_CONTEXT|WINHTTP_OPTION_SERVER_CERT_CONTEXT' $sources || true)
if [ -z "$relaxed" ]; then ok "no certificate check relaxed"; else bad "certificate checks relaxed:"; echo "$relaxed"; fi

# DLL search: no directory added, no load outside the system directory.
added=$(grep -nE '\b(SetDllDirectory[AW]?|AddDllDirectory|SetSearchPathMode)\s*\(' $sources || true)
if [ -z "$added" ]; then ok "no DLL search directory added"; else bad "DLL search directories added:"; echo "$added"; fi
plain=$(grep -nE '\bLoadLibrary[AW]?\s*\(' $sources || true)
if [ -z "$plain" ]; then ok "no LoadLibrary with the default search order"; else bad "LoadLibrary with the default search order:"; echo "$plain"; fi
unrestricted=$(grep -nE '\bLoadLibraryEx[AW]?\s*\(' $sources | grep -v 'LOAD_LIBRARY_SEARCH_SYSTEM32' || true)
if [ -z "$unrestricted" ]; then ok "every LoadLibraryEx searches the system directory only"; else bad "LoadLibraryEx beyond the system directory:"; echo "$unrestricted"; fi

# The entry restricts the search path before anything else.
first=$(awk '/wWinMain\(/ { found = 1 } found && /\{/ { body = 1; next } body && NF && $1 !~ /^\/\// { print; exit }' app/Entry_win.cpp)
if grep -q 'SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)' <<<"$first"; then
  ok "the entry's first statement is SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)"
else
  bad "the entry's first statement is not SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32): $first"
fi
headers=$($objdump -p "$exe")
if grep -qE '\bSetDefaultDllDirectories\b' <<<"$headers"; then ok "the program imports SetDefaultDllDirectories"
else bad "the program does not import SetDefaultDllDirectories"; fi

# DLLs that the loader resolves before the entry runs: searched beside the program first
# (a downloads folder, say) unless Windows keeps them as Known DLLs.
known='^(advapi32|clbcatq|combase|comdlg32|coml2|gdi32|gdiplus|imagehlp|imm32|kernel32|msctf|msvcrt|normaliz|nsi|ole32|oleaut32|psapi|rpcrt4|sechost|setupapi|shcore|shell32|shlwapi|user32|wldap32|ws2_32|comctl32)\.dll$'
planted=""
for dll in $(grep -i 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | sort -u); do
  grep -Eq "$known" <<<"$dll" || planted="$planted $dll"
done
if [ -z "$planted" ]; then ok "every DLL loaded before the entry is a Known DLL"
else bad "DLLs loaded before the entry and looked for beside the program first:$planted"; fi
exit $fail
