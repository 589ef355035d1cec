#!/usr/bin/env bash
# Makes docs/screenshot.png: the program on samples/ in a 760x260 window,
# under Xvfb, from a scratch program folder so that no settings of yours
# are used or changed.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
unset DISPLAY
clip_ensure_display
bash tools/wine-prefix.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build/win/app/clipledger.exe "$work/"
printf '[MainSeting]\r\nLeft=0\r\nTop=0\r\nWidth=760\r\nHeight=260\r\n' >"$work/dodedaru.ini"
samples=$(wine64 winepath -w "$PWD/samples" 2>/dev/null | tr -d '\r')
wine64 "$work/clipledger.exe" "$samples" &
pid=$!
sleep "${CLIP_SCREENSHOT_DELAY:-8}"
import -display "$DISPLAY" -window root -crop 760x260+0+0 +repage docs/screenshot.png
kill "$pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "screenshot: $PWD/docs/screenshot.png"
