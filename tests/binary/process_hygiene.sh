#!/bin/bash
# Hygiene of a program that runs elevated: no code adds a DLL search directory or loads a DLL
# by bare name from anywhere but the system directory, and certificate checks of the HTTP
# client are never relaxed. (The search restricted before any code runs: hardening.sh; which
# DLLs the loader resolves before that: dll_loading.sh.)
set -euo pipefail
exe="$TAVRINO_EXE"
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
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

exit $fail
