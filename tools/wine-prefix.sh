#!/usr/bin/env bash
# Creates the project's Wine prefix once (about 20 s) and reuses it after.
# CLIP_WINE_DPI gives the prefix that display scale (the LogPixels of
# HKCU\Control Panel\Desktop: 96, 144, 192); it goes with a prefix of its
# own (CLIP_WINEPREFIX), since every program of a prefix shares it.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
stamp=$WINEPREFIX/.clipledger-ready
# Wine draws the caption buttons with Marlett (from fonts-wine); this Wine
# does not look in its own font folder, so the font goes into the prefix.
install_wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -d "$fonts" ] || return 0
  for f in /usr/share/wine/fonts/marlett.ttf; do
    [ -f "$f" ] && [ ! -f "$fonts/$(basename "$f")" ] && cp "$f" "$fonts/"
  done
  return 0
}
set_dpi() {
  local want=${CLIP_WINE_DPI:-} have=$WINEPREFIX/.clipledger-dpi
  [ -n "$want" ] || return 0
  [ -f "$have" ] && [ "$(cat "$have")" = "$want" ] && return 0
  clip_ensure_display
  wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$want" /f \
    >/dev/null 2>&1
  wineserver -w || true
  echo "$want" >"$have"
}
# The settings below change now and then: a prefix made with older ones
# gets them again (its stamp names the version it has).
version=4
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
  install_wine_fonts
  set_dpi
  exit 0
fi
clip_ensure_display
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$stamp" ]; then
  echo "wine-prefix: creating $WINEPREFIX"
  wine64 wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
# Japanese fonts in place of the faces the program asks for; WenQuanYi
# Micro Hei linked behind them (by their family names as this Japanese
# Wine knows them) for the Hangul and simplified Chinese they lack, as
# Windows links its own fonts; and no window manager emulation: under Xvfb
# every closing dialog would stall about 2 s.
reg="$WINEPREFIX/clipledger.reg"
python3 - "$reg" <<'PY'
import sys
text = r'''Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
"ＭＳ Ｐ明朝"="IPAPMincho"
"ＭＳ 明朝"="IPAMincho"
"MS Shell Dlg"="IPAPGothic"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"IPA Pゴシック"=hex(7):77,00,71,00,79,00,2d,00,6d,00,69,00,63,00,72,00,6f,00,68,00,65,00,69,00,2e,00,74,00,74,00,63,00,2c,00,57,00,65,00,6e,00,51,00,75,00,61,00,6e,00,59,00,69,00,20,00,4d,00,69,00,63,00,72,00,6f,00,20,00,48,00,65,00,69,00,00,00,00,00
"IPAゴシック"=hex(7):77,00,71,00,79,00,2d,00,6d,00,69,00,63,00,72,00,6f,00,68,00,65,00,69,00,2e,00,74,00,74,00,63,00,2c,00,57,00,65,00,6e,00,51,00,75,00,61,00,6e,00,59,00,69,00,20,00,4d,00,69,00,63,00,72,00,6f,00,20,00,48,00,65,00,69,00,00,00,00,00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"
'''
open(sys.argv[1], 'w', encoding='utf-16').write(text.replace('\n', '\r\n'))
PY
wine64 regedit /S "$reg" >/dev/null 2>&1
wineserver -w || true
install_wine_fonts
echo "$version" >"$stamp"
set_dpi
