#!/bin/sh
# Creates the Wine prefix named by WINEPREFIX once (later calls return at once), with the
# font links that let Wine's UI fonts show Korean, Japanese and Chinese text. Under a Korean,
# Japanese or Chinese user locale Wine swaps its dialog fonts for the faces Windows has for
# that script (Gulim, MS UI Gothic, SimSun, ...): those are replaced by the same CJK font.
#
# With a folder named (wine-prefix.sh COPY), it also makes COPY a prefix of its own, a copy of
# WINEPREFIX. Debian's Wine keeps the name of a prefix's server folder under /tmp in the file
# "wineserver" of the prefix, and in it one server socket per prefix inode: the copy gets a new
# server folder, made at once (as any wineserver call makes it when it is missing, here one
# that finds no server to end), so that the copy's server never meets the original's, nor that
# of an earlier copy that had the same inode, and its first two programs cannot make two.
set -eu
: "${WINEPREFIX:?}"
copy=${1:-}
make_copy() {
  [ -n "$copy" ] || return 0
  rm -rf "$copy"
  mkdir -p "$(dirname "$copy")"
  cp -a "$WINEPREFIX" "$copy"
  rm -f "$copy/wineserver"
  WINEPREFIX=$copy wineserver -k >/dev/null 2>&1 || true
}
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
ready="$WINEPREFIX/.tavrino-ready-3"
if [ -f "$ready" ]; then make_copy; exit 0; fi
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
wineserver -w
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
file=$("$here/wine-exec.sh" winepath -w "$reg" 2>/dev/null)
"$here/wine-exec.sh" regedit /S "$file" >/dev/null 2>&1
if [ -x /usr/lib/wine/wine ]; then /usr/lib/wine/wine regedit /S "$file" >/dev/null 2>&1 || true; fi
rm -f "$reg"
wineserver -w
touch "$ready"
make_copy
