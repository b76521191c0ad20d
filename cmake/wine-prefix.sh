#!/bin/sh
# Creates the Wine prefix named by WINEPREFIX once (later calls return at once), with the
# font links that let Wine's UI fonts show Korean, Japanese and Chinese text. Under a Korean,
# Japanese or Chinese user locale Wine swaps its dialog fonts for the faces Windows has for
# that script (Gulim, MS UI Gothic, SimSun, ...): those are replaced by the same CJK font.
#
# Wine's X11 driver does not hand the windows to a window manager ("Managed"="N"): the test
# displays have none, and closing a managed top-level window there costs about two seconds.
# Wine then draws the frames itself, so an X window is the whole window, frame included.
#
# With a folder named (wine-prefix.sh COPY), it also makes COPY a prefix of its own, a copy of
# WINEPREFIX: as root an overlay mount over it (made at once; the prefix stays untouched, and
# `wine-prefix.sh --drop COPY` unmounts and removes it), otherwise a full copy. Debian's Wine keeps the name of a prefix's server folder under /tmp in the file
# "wineserver" of the prefix, and in it one server socket per prefix inode: the copy gets a new
# server folder, made at once (as any wineserver call makes it when it is missing, here one
# that finds no server to end), so that the copy's server never meets the original's, nor that
# of an earlier copy that had the same inode, and its first two programs cannot make two.
set -eu
: "${WINEPREFIX:?}"
# Every wait for a prefix's server is bounded: a server that does not end fails the caller.
wait_server() {
  timeout 120 wineserver -w || { echo "FAIL: the Wine server of $WINEPREFIX did not end within 120 s" >&2; exit 1; }
}
drop_copy() {  # DIR: ends its server, unmounts it when it is an overlay and removes it
  [ -e "$1" ] || [ -e "$1.layers" ] || return 0
  [ -d "$1" ] && WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
  if mountpoint -q "$1" 2>/dev/null; then
    umount "$1" 2>/dev/null || umount -l "$1"
  fi
  rm -rf "$1" "$1.layers"
}
if [ "${1:-}" = --drop ]; then
  drop_copy "${2:?usage: wine-prefix.sh --drop COPY}"
  exit 0
fi
copy=${1:-}
make_copy() {
  [ -n "$copy" ] || return 0
  drop_copy "$copy"
  mkdir -p "$copy"
  if [ "$(id -u)" -eq 0 ] && mkdir -p "$copy.layers/upper" "$copy.layers/work" &&
    mount -t overlay overlay \
      -o "lowerdir=$WINEPREFIX,upperdir=$copy.layers/upper,workdir=$copy.layers/work" "$copy" 2>/dev/null; then
    :
  else
    rm -rf "$copy.layers"
    cp -a "$WINEPREFIX/." "$copy"
  fi
  rm -f "$copy/wineserver"
  WINEPREFIX=$copy wineserver -k >/dev/null 2>&1 || true
}
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
ready="$WINEPREFIX/.tavrino-ready-4"
if [ -f "$ready" ]; then make_copy; exit 0; fi
rm -rf "$WINEPREFIX"
timeout 300 wineboot -i >/dev/null 2>&1 || true
wait_server
link=$(printf 'wqy-microhei.ttc,WenQuanYi Micro Hei' | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//')
reg="$WINEPREFIX.fonts.reg"
{
  echo 'REGEDIT4'
  echo
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]'
  for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Segoe UI"; do
    echo "\"$face\"=hex(7):${link}00,00"
  done
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
  echo '"Managed"="N"'
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
  for face in Gulim GulimChe Dotum Batang "Malgun Gothic" "MS UI Gothic" "MS Gothic" "MS PGothic" \
    "Yu Gothic UI" "Meiryo UI" Meiryo SimSun NSimSun "Microsoft YaHei" "Microsoft YaHei UI" PMingLiU \
    MingLiU "Microsoft JhengHei" "Microsoft JhengHei UI"; do
    echo "\"$face\"=\"WenQuanYi Micro Hei\""
  done
} >"$reg"
# Both registry views: the 64-bit tools write the 64-bit one, and where Wine's 32-bit loader is
# installed its regedit writes the view that 32-bit programs read.
here=$(cd "$(dirname "$0")" && pwd)
file=$(timeout 120 "$here/wine-exec.sh" winepath -w "$reg" 2>/dev/null)
timeout 120 "$here/wine-exec.sh" regedit /S "$file" >/dev/null 2>&1
if [ -x /usr/lib/wine/wine ]; then timeout 300 /usr/lib/wine/wine regedit /S "$file" >/dev/null 2>&1 || true; fi
rm -f "$reg"
wait_server
touch "$ready"
make_copy
