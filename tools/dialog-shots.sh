#!/usr/bin/env bash
# Screenshots of every dialog the Wine dialog suite opens, for looking at
# their layout: build/dialog-shots/shotN.png, one per dialog in the order
# they open. Needs a built Windows tree (make build).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
unset DISPLAY
clip_ensure_display
out="$PWD/build/dialog-shots"
rm -rf "$out"
mkdir -p "$out"
CLIP_DIALOG_SHOTS=$(wine64 winepath -w "$out" 2>/dev/null | tr -d '\r')
export CLIP_DIALOG_SHOTS
WINEDEBUG=-all wine64 "${CLIP_WIN_BUILD:-build/win}"/tests/wine/dialogs/wine_dialog_tests.exe --gtest_brief=1 \
  >"$out/tests.log" 2>&1 &
tests=$!
# Each dialog leaves shotN.ready and waits until it is gone.
while kill -0 "$tests" 2>/dev/null; do
  for ready in "$out"/*.ready; do
    [ -e "$ready" ] || continue
    name=$(basename "$ready" .ready)
    import -display "$DISPLAY" -window root "$out/$name.png"
    echo "$name: $(tr -d '\r' <"$ready" | iconv -f CP932 -t UTF-8 2>/dev/null)"
    rm -f "$ready"
  done
  sleep 0.2
done
wait "$tests" || true
echo "screenshots: $out"
