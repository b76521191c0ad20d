# Reads what the binary tests ask of a PE file: its sections, its image base, the DLLs and
# functions of its import directory and of its delay-load descriptors. MinGW's delay-load
# import libraries leave the delay import directory of the header empty, so the descriptors
# are found by their shape: attributes 1 (RVA-based), the RVA of a DLL name, and module
# handle, address and name tables inside the image.
import struct


class PeFile:
    def __init__(self, path):
        self.data = data = open(path, "rb").read()
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("%s is not a PE file" % path)
        self.machine = struct.unpack_from("<H", data, pe + 4)[0]
        sections_count = struct.unpack_from("<H", data, pe + 6)[0]
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        self.wide = struct.unpack_from("<H", data, optional)[0] == 0x20B  # PE32+
        self.pointer = 8 if self.wide else 4
        self.image_base = (struct.unpack_from("<Q", data, optional + 24)[0] if self.wide
                           else struct.unpack_from("<I", data, optional + 28)[0])
        self.size_of_image = struct.unpack_from("<I", data, optional + 56)[0]
        self.directories = optional + (112 if self.wide else 96)
        self.sections = []
        for i in range(sections_count):
            at = optional + optional_size + 40 * i
            name = data[at:at + 8].rstrip(b"\0").decode("latin-1")
            vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, at + 8)
            flags = struct.unpack_from("<I", data, at + 36)[0]
            self.sections.append((va, max(vsize, rawsize), raw, rawsize, name, flags))

    def offset(self, rva):
        """The file offset of an RVA, or None where the file holds no byte for it."""
        for va, size, raw, rawsize, _, _ in self.sections:
            if va <= rva < va + size and rva - va < rawsize:
                return raw + rva - va
        return None

    def executable(self, rva):
        """Whether the RVA lies in a section of code."""
        return any(va <= rva < va + size and flags & 0x20000000
                   for va, size, _, _, _, flags in self.sections)

    def word(self, rva):
        at = self.offset(rva)
        if at is None or at + self.pointer > len(self.data):
            return None
        return struct.unpack_from("<Q" if self.wide else "<I", self.data, at)[0]

    def text(self, rva):
        at = self.offset(rva)
        if at is None:
            return None
        end = self.data.find(b"\0", at)
        return self.data[at:end].decode("latin-1") if end >= 0 else None

    def names(self, table_rva):
        """The functions of one name table (hint/name entries; ordinals as #N)."""
        found = []
        rva = table_rva
        while True:
            entry = self.word(rva)
            if entry is None:
                return None
            if entry == 0:
                return found
            if entry >> (63 if self.wide else 31):
                found.append("#%d" % (entry & 0xFFFF))
            else:
                name = self.text(entry + 2)
                if name is None:
                    return None
                found.append(name)
            rva += self.pointer

    def imports(self):
        """(dll, [functions], address table RVA) of the import directory, the DLL in lower
        case."""
        found = []
        rva = struct.unpack_from("<I", self.data, self.directories + 8)[0]
        at = self.offset(rva) if rva else None
        while at is not None:
            ilt, _, _, name_rva, iat = struct.unpack_from("<IIIII", self.data, at)
            if name_rva == 0:
                break
            found.append((self.text(name_rva).lower(), self.names(ilt or iat) or [], iat))
            at += 20
        return found

    def import_slot(self, dll, function):
        """The RVA of the address-table slot through which the program calls an imported
        function, or None."""
        for name, functions, iat in self.imports():
            if name == dll and function in functions:
                return iat + functions.index(function) * self.pointer
        return None

    def tls_callbacks(self):
        """The RVAs of the TLS callbacks, in the order the loader calls them."""
        rva = struct.unpack_from("<I", self.data, self.directories + 9 * 8)[0]
        if not rva:
            return []
        table = self.word(rva + 3 * self.pointer)  # AddressOfCallBacks, an address
        found = []
        while table:  # the array ends with a null entry
            callback = self.word(table - self.image_base + len(found) * self.pointer)
            if not callback:
                break
            found.append(callback - self.image_base)
        return found

    def delay_descriptors(self):
        """(descriptor RVA, dll, address table RVA, [functions]) of every delay-load
        descriptor, the DLL in lower case: every section is scanned, 4-byte aligned."""
        found = []
        for va, _, raw, rawsize, _, _ in self.sections:
            for at in range(raw, raw + rawsize - 32, 4):
                attributes, name_rva, module_rva, iat, int_rva = struct.unpack_from(
                    "<IIIII", self.data, at)
                if attributes != 1 or not name_rva or not iat or not int_rva:
                    continue
                dll = self.text(name_rva)
                if not dll or not dll.lower().endswith(".dll") or self.offset(module_rva) is None:
                    continue
                functions = self.names(int_rva)
                if functions:
                    found.append((va + at - raw, dll.lower(), iat, functions))
        return found
