#!/bin/bash
# The DLL search is restricted before any of the program's code runs: of the calls that the
# program makes that can load a DLL (LoadLibrary*, and CryptAcquireContext, which loads a
# cryptographic provider by its bare name; the stack protector's start-up makes one before the
# entry), the first is SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32). Wine's relay
# trace, limited to those functions, lists every such call with its return address; the ones
# whose return address lies in the program's image are the program's own.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
e2e_start_services
watched='SetDefaultDllDirectories;LoadLibraryA;LoadLibraryW;LoadLibraryExA;LoadLibraryExW;CryptAcquireContextA;CryptAcquireContextW'
e2e_in_ns_for 60 "$SOURCE_DIR/cmake/wine-exec.sh" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude \
  /t REG_SZ /d "$watched" /f >/dev/null 2>&1 || e2e_fail "the relay filter could not be set"
trace="$E2E_DIR/dll_search-$$.log"
e2e_start_app WINEDEBUG=+relay,+loaddll 2>"$trace"
kill "$E2E_APP_PID" 2>/dev/null; E2E_APP_PID=
base=$(grep -m1 -o 'Loaded L"[^"]*Tavrino\.exe" at [0-9a-fA-F]*' "$trace" | awk '{print $NF}')
[ -n "$base" ] || { rm -f "$trace"; e2e_fail "the trace does not say where Tavrino.exe was loaded"; }
# The watched calls whose return address lies in the program's image, in order.
calls=$(python3 - "$SOURCE_DIR/tests/binary" "$TAVRINO_EXE" "$base" "$trace" <<'PY'
import re, sys
sys.path.insert(0, sys.argv[1])
from pe_file import PeFile
size = PeFile(sys.argv[2]).size_of_image
base = int(sys.argv[3], 16)
for line in open(sys.argv[4], errors="replace"):
    call = re.search(r":Call (.*) ret=([0-9a-fA-F]+)", line)
    if call and base <= int(call.group(2), 16) < base + size:
        print(call.group(1))
PY
)
rm -f "$trace"
[ -n "$calls" ] || e2e_fail "the trace shows no call of the program's to the watched functions"
echo "the program's calls that can load a DLL, in order:"
head -5 <<<"$calls" | sed 's/^/  /'
first=$(head -1 <<<"$calls")
[[ $first == *.SetDefaultDllDirectories\(00000800\) ]] || e2e_fail "the program's first such call is $first"
grep -q 'CryptAcquireContextA' <<<"$calls" || e2e_fail "no CryptAcquireContextA from the stack protector's start-up"
echo "ok: SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) comes first, before the stack protector's CryptAcquireContextA and every LoadLibrary"
