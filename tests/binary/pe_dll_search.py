# Checks that the first TLS callback of a PE file restricts the DLL search to the system
# directory: the loader calls it before the entry point and before the C runtime's start-up,
# so nothing that the program runs can load a DLL from elsewhere first. The callback must
# pass LOAD_LIBRARY_SEARCH_SYSTEM32 (0x800) to kernel32's SetDefaultDllDirectories through
# the import slot, within its first instructions. Prints "ok ..." or "FAIL ...".
#   python3 pe_dll_search.py FILE
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_file import PeFile  # noqa: E402

pe = PeFile(sys.argv[1])
callbacks = pe.tls_callbacks()
if not callbacks:
    sys.exit(print("FAIL the program has no TLS callback") or 1)
slot = pe.import_slot("kernel32.dll", "SetDefaultDllDirectories")
if slot is None:
    sys.exit(print("FAIL the program does not import SetDefaultDllDirectories") or 1)
first = callbacks[0]
at = pe.offset(first)
code = pe.data[at:at + 64] if at is not None and pe.executable(first) else b""
through_slot = False
for i in range(len(code) - 6):
    if pe.wide:
        # call/jmp *slot(%rip), with or without a REX prefix
        for opcode in (b"\xff\x15", b"\xff\x25", b"\x48\xff\x25"):
            end = i + len(opcode) + 4
            if code[i:i + len(opcode)] == opcode and end <= len(code) and \
                    first + end + struct.unpack_from("<i", code, i + len(opcode))[0] == slot:
                through_slot = True
    elif code[i:i + 2] in (b"\xff\x15", b"\xff\x25") and \
            struct.unpack_from("<I", code, i + 2)[0] == slot + pe.image_base:
        through_slot = True
# The argument: "mov $0x800,%ecx" on x86_64; "push $0x800" or "movl $0x800,(%esp)" on i686.
if pe.wide:
    argument = b"\xb9\x00\x08\x00\x00" in code
else:
    argument = b"\x68\x00\x08\x00\x00" in code or b"\xc7\x04\x24\x00\x08\x00\x00" in code
if through_slot and argument:
    print("ok the first of %d TLS callbacks calls SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)"
          % len(callbacks))
else:
    print("FAIL the first TLS callback (at %#x) does not call SetDefaultDllDirectories(0x800): %s"
          % (first + pe.image_base, code[:32].hex()))
    sys.exit(1)
