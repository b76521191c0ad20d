#!/bin/bash
# The file details of the built Tavrino.exe as Windows' file properties and reputation services
# read them: the version resource is taken out of the file (wrestool) and walked as
# VS_VERSIONINFO, its fixed part and every string of its string table checked. EXPECT_VERSION
# is the version it must carry (default 1.5.6.0, the default of TAVRINO_VERSION).
set -euo pipefail
exe="$TAVRINO_EXE"
expect_version=${EXPECT_VERSION:-1.5.6.0}
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wrestool -x --raw --type=16 "$exe" >"$work/version.bin" 2>/dev/null || true
[ -s "$work/version.bin" ] || { echo "FAIL: no version resource in $exe"; exit 1; }

python3 - "$work/version.bin" "$expect_version" <<'EOF'
import struct, sys

expect_version = sys.argv[2]
data = open(sys.argv[1], 'rb').read()
fail = False

def check(what, good):
    global fail
    print(('ok: ' if good else 'FAIL: ') + what)
    fail = fail or not good

def node(offset):
    """One VS_VERSIONINFO block: (key, value bytes, value type, children offsets, end)."""
    length, value_length, kind = struct.unpack_from('<HHH', data, offset)
    end = offset + length
    pos = offset + 6
    key_end = pos
    while data[key_end:key_end + 2] != b'\0\0':
        key_end += 2
    key = data[pos:key_end].decode('utf-16-le')
    pos = (key_end + 2 + 3) & ~3
    size = value_length * 2 if kind == 1 else value_length
    value = data[pos:pos + size]
    pos = (pos + size + 3) & ~3
    children = []
    while pos < end:
        children.append(pos)
        child_length = struct.unpack_from('<H', data, pos)[0]
        if child_length == 0:
            break
        pos = (pos + child_length + 3) & ~3
    return key, value, kind, children, end

key, fixed, _, children, _ = node(0)
check('block VS_VERSION_INFO', key == 'VS_VERSION_INFO')
signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from('<6I', fixed)
check('fixed file information present', signature == 0xFEEF04BD)
version = lambda ms, ls: '%d.%d.%d.%d' % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
check('file version %s (fixed part): %s' % (expect_version, version(file_ms, file_ls)), version(file_ms, file_ls) == expect_version)
check('product version %s (fixed part): %s' % (expect_version, version(product_ms, product_ls)), version(product_ms, product_ls) == expect_version)
file_flags, file_os, file_type = struct.unpack_from('<III', fixed, 28)
check('a release file (no debug, pre-release or private flags)', file_flags == 0)
check('an application for Windows NT', file_type == 1 and file_os == 0x40004)

strings, translations = {}, []
for child in children:
    name, _, _, tables, _ = node(child)
    if name == 'StringFileInfo':
        for table in tables:
            language, _, _, entries, _ = node(table)
            for entry in entries:
                k, v, _, _, _ = node(entry)
                strings[(language, k)] = v.decode('utf-16-le').rstrip('\0')
    elif name == 'VarFileInfo':
        for var in tables:
            k, v, _, _, _ = node(var)
            if k == 'Translation':
                translations += [struct.unpack_from('<HH', v, i) for i in range(0, len(v), 4)]

check('one translation, US English in Unicode', translations == [(0x0409, 1200)])
table = '040904b0'
languages = {language.lower() for language, _ in strings}
check('the string table is the translation\'s (' + ', '.join(sorted(languages)) + ')', languages == {table})
want = {
    'CompanyName': 'Marvetic',
    'FileDescription': 'Tavrino',
    'FileVersion': expect_version,
    'InternalName': 'Tavrino',
    'LegalCopyright': 'Copyright \u00a9 2026 Marvetic',
    'OriginalFilename': 'Tavrino.exe',
    'ProductName': 'Tavrino',
    'ProductVersion': expect_version,
}
got = {k: v for (language, k), v in strings.items() if language.lower() == table}
for name, value in want.items():
    check('%s is "%s" (read "%s")' % (name, value, got.get(name, '')), got.get(name) == value)
sys.exit(1 if fail else 0)
EOF
