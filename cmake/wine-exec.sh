#!/bin/sh
# Runs a Windows program under Wine with the loader that matches it: Wine's 32-bit loader for
# a 32-bit exe, the 64-bit one for everything else, Wine's own tools (reg, wmic, regedit,
# winepath) included. Where Wine's 32-bit loader is installed, plain `wine` is that loader: it
# runs under qemu here, takes seconds before it hands a 64-bit program to the 64-bit loader,
# and its reg.exe sees the redirected 32-bit registry view under Wow6432Node, while the tests
# read the 64-bit view that the program writes.
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64=$(command -v wine64 || command -v wine)
loader=$wine64
if [ -f "${1:-}" ] && [ -x "$wine32" ]; then
  # The machine field of the PE header: 014c is i386.
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] && [ "$(od -An -tx2 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')" = 014c ] &&
    loader=$wine32
fi
exec "$loader" "$@"
