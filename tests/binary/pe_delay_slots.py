# Checks every delay-load slot of a PE file built with MinGW's delay-load import libraries.
# Before its first call, a slot must hold the address of a stub that loads that very slot:
# on i686 "mov $slot,%eax; jmp tail", on x86_64 "lea slot(%rip),%rax; jmp tail", where the
# tail passes the slot's own descriptor to the delay-load helper. A slot that holds anything
# else (0, when the linker dropped the stub) jumps there on the first call.
# Prints one line per slot:
#   ok DLL FUNCTION
#   FAIL DLL FUNCTION: why
# and on x86_64, for each slot whose tail does not keep xmm0-xmm3 across the helper:
#   xmm-lost DLL FUNCTION
#   python3 pe_delay_slots.py FILE
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_file import PeFile  # noqa: E402

pe = PeFile(sys.argv[1])


def code(rva, count):
    at = pe.offset(rva)
    if at is None or not pe.executable(rva):
        return None
    return pe.data[at:at + count]


def rel32(block, at):
    return struct.unpack_from("<i", block, at)[0]


def tail_of(stub_rva, slot_rva):
    """The tail that the stub at stub_rva jumps to, or a reason why it is no such stub."""
    block = code(stub_rva, 12)
    if block is None or len(block) < 12:
        return None, "the slot's first value %#x is not in the program's code" % (stub_rva + pe.image_base)
    if pe.wide:
        if block[0:3] != b"\x48\x8d\x05" or block[7] != 0xE9:
            return None, "no lea/jmp stub at %#x" % (stub_rva + pe.image_base)
        if stub_rva + 7 + rel32(block, 3) != slot_rva:
            return None, "the stub loads another slot"
        return stub_rva + 12 + rel32(block, 8), None
    if block[0] != 0xB8 or block[5] != 0xE9:
        return None, "no mov/jmp stub at %#x" % (stub_rva + pe.image_base)
    if struct.unpack_from("<I", block, 1)[0] != slot_rva + pe.image_base:
        return None, "the stub loads another slot"
    return stub_rva + 10 + rel32(block, 6), None


def check_tail(tail_rva, descriptor_rva):
    """Whether the tail hands the descriptor to the helper; and whether it keeps xmm0-3."""
    block = code(tail_rva, 96)
    if block is None:
        return "the stub's tail is not in the program's code", False
    call = block.find(b"\xe8")
    if pe.wide:
        found = any(block[i:i + 3] == b"\x48\x8d\x0d"
                    and tail_rva + i + 7 + rel32(block, i + 3) == descriptor_rva
                    for i in range(0, max(call, 0)))
    else:
        push = block.find(b"\x68")
        found = 0 <= push < call and \
            struct.unpack_from("<I", block, push + 1)[0] == descriptor_rva + pe.image_base
    if not found or call < 0:
        return "the tail does not pass the slot's descriptor to the helper", False
    # Stores of xmm registers before the call: movdqa/movdqu/movaps/movups/movsd/movq to memory.
    kept = set()
    for i in range(call):
        for opcode in (b"\x66\x0f\x7f", b"\xf3\x0f\x7f", b"\xf2\x0f\x11", b"\x66\x0f\xd6",
                       b"\x0f\x29", b"\x0f\x11"):
            if block[i:i + len(opcode)] == opcode and i + len(opcode) < call:
                kept.add((block[i + len(opcode)] >> 3) & 7)
    return None, {0, 1, 2, 3} <= kept


descriptors = pe.delay_descriptors()
if not descriptors:
    print("FAIL - -: no delay-load descriptor found")
for descriptor_rva, dll, iat, functions in descriptors:
    for i, function in enumerate(functions):
        slot_rva = iat + i * pe.pointer
        value = pe.word(slot_rva)
        if not value:
            print("FAIL %s %s: the slot holds 0, no stub was linked" % (dll, function))
            continue
        tail, why = tail_of(value - pe.image_base, slot_rva)
        if why is None:
            why, xmm_kept = check_tail(tail, descriptor_rva)
        if why is not None:
            print("FAIL %s %s: %s" % (dll, function, why))
            continue
        print("ok %s %s" % (dll, function))
        if pe.wide and not xmm_kept:
            print("xmm-lost %s %s" % (dll, function))
