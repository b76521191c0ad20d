#!/bin/bash
# The icon of the built Tavrino.exe, as Explorer and the task bar take it: the file's first
# icon group (number 1) is taken out (wrestool) and listed (icotool). It must hold the eight
# sizes Windows asks for, in 32-bit colour with alpha, each showing the logo's tile in the
# accent blue with the white bolt; the small sizes are drawn for their grid (the tile fills the
# square with crisp edges), not the large drawing scaled down.
set -euo pipefail
exe="$TAVRINO_EXE"
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
ok() { echo "ok: $1"; }
bad() { echo "FAIL: $1"; fail=1; }

groups=$(wrestool -l --type=14 "$exe" 2>/dev/null || true)
first=$(head -n1 <<<"$groups")
if grep -q -- '--name=1 ' <<<"$first"; then ok "the first icon group is number 1"; else bad "first icon group: ${first:-none}"; fi
wrestool -x --type=14 --name=1 "$exe" >"$work/Tavrino.ico" 2>/dev/null || true
[ -s "$work/Tavrino.ico" ] || { echo "FAIL: no icon group 1 in $exe"; exit 1; }

listing=$(icotool -l "$work/Tavrino.ico")
sizes=$(grep -o -- '--width=[0-9]*' <<<"$listing" | cut -d= -f2 | sort -n | tr '\n' ' ')
if [ "$sizes" = "16 20 24 32 40 48 64 256 " ]; then ok "sizes: $sizes"; else bad "sizes: $sizes (want 16 20 24 32 40 48 64 256)"; fi
while read -r line; do
  w=$(grep -o -- '--width=[0-9]*' <<<"$line" | cut -d= -f2)
  h=$(grep -o -- '--height=[0-9]*' <<<"$line" | cut -d= -f2)
  d=$(grep -o -- '--bit-depth=[0-9]*' <<<"$line" | cut -d= -f2)
  if [ "$w" = "$h" ] && [ "$d" = 32 ]; then ok "$w pixels: square, 32-bit"; else bad "$line"; fi
done <<<"$listing"

# One PNG per size; pixels read with ImageMagick as r,g,b,a.
icotool -x -o "$work" "$work/Tavrino.ico"
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)],%[fx:int(255*p{$2,$3}.a)]" info:; }
near() {  # near R,G,B,A R,G,B,A: every channel within 40
  local IFS=,; local a=($1) b=($2)
  for i in 0 1 2 3; do [ $(( a[i] > b[i] ? a[i] - b[i] : b[i] - a[i] )) -le 40 ] || return 1; done
}
blue=61,132,221,255
white=255,255,255,255
for png in "$work"/*.png; do
  s=$(identify -format '%w' "$png")
  # The tile's blue left of the bolt, a little in from the edge; the bolt's white at its waist.
  tile=$(pixel "$png" $((s / 8)) $((s / 2)))
  bolt=$(pixel "$png" $((s * 15 / 32)) $((s / 2)))
  if near "$tile" $blue; then ok "$s pixels: the accent tile ($tile)"; else bad "$s pixels: tile pixel is $tile"; fi
  if near "$bolt" $white; then ok "$s pixels: the white bolt ($bolt)"; else bad "$s pixels: bolt pixel is $bolt"; fi
  if [ "$s" -le 24 ]; then
    edge=$(pixel "$png" 0 $((s / 2)))
    if near "$edge" $blue; then ok "$s pixels: drawn for its size, the tile reaches the edge"; else bad "$s pixels: edge pixel is $edge, the large drawing scaled down?"; fi
  fi
done
exit $fail
