#!/bin/sh
# Creates the Wine prefix named by WINEPREFIX once (later calls return at once), with the
# font links that let Wine's UI fonts show Korean, Japanese and Chinese text. Under a Korean,
# Japanese or Chinese user locale Wine swaps its dialog fonts for the faces Windows has for
# that script (Gulim, MS UI Gothic, SimSun, ...): those are replaced by the same CJK font.
set -eu
: "${WINEPREFIX:?}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
ready="$WINEPREFIX/.tavrino-ready-3"
[ -f "$ready" ] && exit 0
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
