#!/usr/bin/env bash
# Screenshots of every dialog the Wine suites open (the first of each
# caption), at 96, 144 and 192 DPI or the DPIs given, for looking at their
# layout: build/dialog-shots/DPI/PROGRAM-shotN.png, cut to the dialog with
# a margin, in the order they open; index.txt names each one's caption.
# The DPIs other than 96 run in prefixes of their own
# (build/wineprefix-DPI, made on first use). Needs a built Windows tree
# (make win).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${CLIP_WIN_BUILD:-build/win}
# The programs that open dialogs, and the tests of each that do.
programs=(
  "settings/wine_settings_tests Customize.*"
  "edit/wine_movie_action_tests *"
  "listfile/wine_listfile_tests Html*"
  "app/wine_app_tests Tools.FindBar*:Window.VersionBox*"
)
dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 144 192)
rm -rf build/dialog-shots
# The INFO writer's box needs the suite's movies (made by ffmpeg).
movies=$build/tests/wine/edit/movies
[ -d "$movies" ] || bash tools/make_movie_fixtures.sh "$movies" >/dev/null
for dpi in "${dpis[@]}"; do
  (
    if [ "$dpi" != 96 ]; then
      export CLIP_WINEPREFIX=$root/build/wineprefix-$dpi CLIP_WINE_DPI=$dpi
    fi
    source tools/wine-env.sh
    unset DISPLAY
    clip_ensure_display
    bash tools/wine-prefix.sh
    out=$root/build/dialog-shots/$dpi
    mkdir -p "$out"
    for entry in "${programs[@]}"; do
      program=${entry%% *} filter=${entry#* }
      name=$(basename "$program")
      marks=$out/$name
      mkdir -p "$marks"
      CLIP_DIALOG_SHOTS=$(wine64 winepath -w "$marks" 2>/dev/null | tr -d '\r')
      export CLIP_DIALOG_SHOTS
      wine64 "$build/tests/wine/$program.exe" --gtest_brief=1 --gtest_filter="$filter" \
        >"$out/$name.log" 2>&1 &
      tests=$!
      # Each window leaves shotN.ready (caption, then x y width height) and
      # waits until it is gone.
      while kill -0 "$tests" 2>/dev/null; do
        for ready in "$marks"/*.ready; do
          [ -e "$ready" ] || continue
          shot=$(basename "$ready" .ready)
          caption=$(sed -n 1p "$ready" | tr -d '\r')
          read -r x y w h < <(sed -n 2p "$ready")
          margin=$((12 * dpi / 96))
          x=$((x > margin ? x - margin : 0)) y=$((y > margin ? y - margin : 0))
          import -display "$DISPLAY" -window root \
            -crop "$((w + 2 * margin))x$((h + 2 * margin))+$x+$y" +repage "$out/$name-$shot.png"
          echo "$dpi $name-$shot: $caption" | tee -a "$out/index.txt"
          rm -f "$ready"
        done
        sleep 0.2
      done
      wait "$tests" || true
      rmdir "$marks" 2>/dev/null || true
    done
  )
done
echo "screenshots: $root/build/dialog-shots"
