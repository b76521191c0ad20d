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
ready="$WINEPREFIX/.tavrino-ready-2"
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
wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
rm -f "$reg"
wineserver -w
touch "$ready"
