#!/usr/bin/env bash
# Opens the catalogue window on samples/. Without a display it runs under
# Xvfb, saves a screenshot to build/screenshot.png and closes the program.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
exe=build/win/app/clipledger.exe
samples=$(wine64 winepath -w "$PWD/samples" 2>/dev/null | tr -d '\r')
if [ -z "${CLIP_HEADLESS:-}" ] && [ -n "${DISPLAY:-}" ] && [ "$DISPLAY" != ":${CLIP_XVFB_DISPLAY:-87}" ] && { [[ "$DISPLAY" != :* ]] || clip_display_alive "$DISPLAY"; }; then
  exec wine64 "$exe" "$samples"
fi
unset DISPLAY
clip_ensure_display
wine64 "$exe" "$samples" &
pid=$!
sleep "${CLIP_SCREENSHOT_DELAY:-8}"
import -display "$DISPLAY" -window root build/screenshot.png
kill "$pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "screenshot: $PWD/build/screenshot.png"
