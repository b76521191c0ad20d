#!/bin/bash
# The shipped exe stays small: the i686 Release build, stripped as it ships, holds its icon
# and file details and is at most 330 KiB. (The x86_64 build is not shipped: skipped there.)
set -euo pipefail
exe="$TAVRINO_EXE"
[ "${TARGET_BITS:-}" = 32 ] || { echo "skipped: only the shipped i686 exe has a size limit"; exit 77; }
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
limit=$((330 * 1024))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
i686-w64-mingw32-strip -o "$work/Tavrino.exe" "$exe"
size=$(stat -c %s "$work/Tavrino.exe")
# What it holds counts: a build without its icon or details would pass for the wrong reason.
wrestool -l --type=14 "$work/Tavrino.exe" | grep -q -- '--name=1 ' || { echo "FAIL: no icon"; exit 1; }
wrestool -l --type=16 "$work/Tavrino.exe" | grep -q . || { echo "FAIL: no version information"; exit 1; }
if [ "$size" -gt "$limit" ]; then
  echo "FAIL: the stripped exe is $((size / 1024)) KiB, over 330 KiB"
  exit 1
fi
echo "ok: the stripped exe is $((size / 1024)) KiB (limit 330 KiB)"
