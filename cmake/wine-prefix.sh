#!/bin/sh
# Creates the Wine prefix named by WINEPREFIX once (later calls return at once), with the
# font links that let Wine's UI fonts show Korean, Japanese and Chinese text.
set -eu
: "${WINEPREFIX:?}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.tavrino-ready" ] && exit 0
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
wineserver -w
for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Segoe UI"; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wineserver -w
touch "$WINEPREFIX/.tavrino-ready"
