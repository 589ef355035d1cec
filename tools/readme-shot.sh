#!/usr/bin/env bash
# Makes the README's screenshots: the program on samples/ in a window of
# 760x260 at 96 DPI, under Xvfb, from a scratch program folder so that no
# settings of yours are used or changed; docs/screenshot.png at 96 DPI and
# docs/screenshot-144.png at 144 DPI (the same settings file, in a prefix of
# that scale: build/wineprefix-144).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build/win/app/clipledger.exe "$work/"
shot() {
  local dpi=$1 out=$2
  (
    if [ "$dpi" != 96 ]; then
      export CLIP_WINEPREFIX=$root/build/wineprefix-$dpi CLIP_WINE_DPI=$dpi
    fi
    source tools/wine-env.sh
    unset DISPLAY
    clip_ensure_display
    bash tools/wine-prefix.sh
    printf '[MainSeting]\r\nLeft=0\r\nTop=0\r\nWidth=760\r\nHeight=260\r\n' >"$work/dodedaru.ini"
    samples=$(wine64 winepath -w "$root/samples" 2>/dev/null | tr -d '\r')
    wine64 "$work/clipledger.exe" "$samples" &
    pid=$!
    sleep "${CLIP_SCREENSHOT_DELAY:-8}"
    local width=$((760 * dpi / 96)) height=$((260 * dpi / 96))
    import -display "$DISPLAY" -window root -crop "${width}x${height}+0+0" +repage "$out"
    kill "$pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    echo "screenshot at $dpi DPI: $root/$out"
  )
}
shot 96 docs/screenshot.png
shot 144 docs/screenshot-144.png
