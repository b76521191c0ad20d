# Lists every function that a PE file imports, one "dll function" line each (the DLL in lower
# case), from both its import directory and its delay-load descriptors. MinGW's delay-load
# import libraries leave the delay import directory of the header empty, so the descriptors
# are found by their shape: attributes 1 (RVA-based), the RVA of a DLL name, and name and
# address tables inside the image.
#   python3 pe_imports.py FILE
import struct
import sys

data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
if data[pe:pe + 4] != b"PE\0\0":
    sys.exit("not a PE file")
sections_count = struct.unpack_from("<H", data, pe + 6)[0]
optional_size = struct.unpack_from("<H", data, pe + 20)[0]
optional = pe + 24
wide = struct.unpack_from("<H", data, optional)[0] == 0x20B  # PE32+
pointer = 8 if wide else 4
directories = optional + (112 if wide else 96)
sections = []
for i in range(sections_count):
    at = optional + optional_size + 40 * i
    vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, at + 8)
    sections.append((va, max(vsize, rawsize), raw, rawsize))


def offset(rva):
    for va, size, raw, rawsize in sections:
        if va <= rva < va + size and rva - va < rawsize:
            return raw + rva - va
    return None


def text(rva):
    at = offset(rva)
    if at is None:
        return None
    end = data.find(b"\0", at)
    return data[at:end].decode("latin-1") if end >= 0 else None


def names(table_rva):
    """The functions of one name table (hint/name entries; ordinals as #N)."""
    found = []
    at = offset(table_rva)
    while at is not None and at + pointer <= len(data):
        entry = struct.unpack_from("<Q" if wide else "<I", data, at)[0]
        if entry == 0:
            return found
        if entry >> (63 if wide else 31):
            found.append("#%d" % (entry & 0xFFFF))
        else:
            name = text(entry + 2)
            if name is None:
                return None
            found.append(name)
        at += pointer
    return None


imports = set()
import_rva = struct.unpack_from("<I", data, directories + 8)[0]
at = offset(import_rva) if import_rva else None
while at is not None:
    ilt, _, _, name_rva, iat = struct.unpack_from("<IIIII", data, at)
    if name_rva == 0:
        break
    dll = text(name_rva).lower()
    for function in names(ilt or iat) or []:
        imports.add((dll, function))
    at += 20

# Delay-load descriptors: scan every section, 4-byte aligned.
for va, size, raw, rawsize in sections:
    for at in range(raw, raw + rawsize - 32, 4):
        attributes, name_rva, module_rva, iat, int_rva = struct.unpack_from("<IIIII", data, at)
        if attributes != 1 or not name_rva or not iat or not int_rva:
            continue
        dll = text(name_rva)
        if not dll or not dll.lower().endswith(".dll") or offset(module_rva) is None:
            continue
        functions = names(int_rva)
        if functions:
            for function in functions:
                imports.add((dll.lower(), function))

for dll, function in sorted(imports):
    print(dll, function)
