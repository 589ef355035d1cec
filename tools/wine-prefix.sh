#!/usr/bin/env bash
# Creates the project's Wine prefix once (about 20 s) and reuses it after.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
stamp=$WINEPREFIX/.clipledger-ready
[ -f "$stamp" ] && exit 0
clip_ensure_display
mkdir -p "$(dirname "$WINEPREFIX")"
echo "wine-prefix: creating $WINEPREFIX"
wine64 wineboot -i >/dev/null 2>&1 || true
wineserver -w || true
# Japanese fonts in place of the faces the program asks for, and no window
# manager emulation: under Xvfb every closing dialog would stall about 2 s.
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

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"
'''
open(sys.argv[1], 'w', encoding='utf-16').write(text.replace('\n', '\r\n'))
PY
wine64 regedit /S "$reg" >/dev/null 2>&1
wineserver -w || true
touch "$stamp"
