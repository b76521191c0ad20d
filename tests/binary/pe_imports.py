# Lists every function that a PE file imports, one "dll function" line each (the DLL in lower
# case), from both its import directory and its delay-load descriptors.
#   python3 pe_imports.py FILE
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_file import PeFile  # noqa: E402

pe = PeFile(sys.argv[1])
imports = set()
for dll, functions, _ in pe.imports():
    imports.update((dll, function) for function in functions)
for _, dll, _, functions in pe.delay_descriptors():
    imports.update((dll, function) for function in functions)
for dll, function in sorted(imports):
    print(dll, function)
