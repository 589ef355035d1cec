#!/usr/bin/env bash
# A scan through the main window under Wine, as a user sees it, against the
# Wine floor (walk, stat, read the head and tail of each file) on trees of
# 20,000 and 100,000 AVI files with a warm cache:
#   - program: clipledger.exe started on the tree, until its list holds every
#     row and the status bar shows their totals;
#   - window:  the same main window made inside the benchmark;
#   - rescan:  a rescan of the unchanged tree, up to its closing message.
# Targets: program and window at least 0.70 of the floor's rate; the rescan
# no slower than the window's scan of the same tree.
# CLIP_WIN_DIR picks another Windows build; CLIP_BENCH_WINDOW_FILES the trees.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
win_dir=${CLIP_WIN_DIR:-build/win}
bench=$win_dir/tests/bench/app/window_scan_bench_win.exe
floor=$win_dir/tests/bench/scan/scan_floor_win.exe
exe=$win_dir/app/clipledger.exe
if [ ! -f "$bench" ] || [ ! -f "$floor" ] || [ ! -f "$exe" ]; then
  echo "window scan: $bench not built (make win)"
  exit 0
fi
source tools/wine-env.sh
clip_ensure_display
bash tools/wine-prefix.sh

rate_of() { sed -nE 's/.*rate ([0-9]+).*/\1/p' <<<"$1"; }
files_of() { sed -nE 's/.*files ([0-9]+).*/\1/p' <<<"$1"; }
seconds_of() { sed -nE 's/.*seconds ([0-9.]+).*/\1/p' <<<"$1"; }
better() { [ -z "$1" ] || [ "$(rate_of "$2")" -gt "$(rate_of "$1")" ]; }

status=0
for count in ${CLIP_BENCH_WINDOW_FILES:-20000 100000}; do
  kind=avi
  source tools/scan-tree-lib.sh
  make_tree
  find "$tree" -type f -print0 | xargs -0 cat >/dev/null
  wtree=$(wine64 winepath -w "$root/$tree" 2>/dev/null | tr -d '\r')
  wexe=$(wine64 winepath -w "$root/$exe" 2>/dev/null | tr -d '\r')
  # Floor and program runs alternate, three times, each keeping its best, so
  # that a busy moment of the machine weighs on both alike.
  best_floor="" best_program="" best_window="" best_rescan=""
  for i in 1 2 3; do
    out=$(wine64 "$floor" "$wtree" 1 2>/dev/null | tr -d '\r')
    if better "$best_floor" "$out"; then best_floor=$out; fi
    out=$(wine64 "$bench" "$wtree" 1 "$wexe" 2>/dev/null | tr -d '\r')
    line=$(grep '^program' <<<"$out" || true)
    if better "$best_program" "$line"; then best_program=$line; fi
    line=$(grep '^window' <<<"$out" || true)
    if better "$best_window" "$line"; then best_window=$line; fi
    line=$(grep '^rescan' <<<"$out" || true)
    if better "$best_rescan" "$line"; then best_rescan=$line; fi
  done
  echo "$count files: floor $(rate_of "$best_floor") files/s"
  for line in "$best_program" "$best_window"; do
    name=${line%% *}
    r=$(awk -v a="$(rate_of "$line")" -v b="$(rate_of "$best_floor")" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    verdict=ok
    awk -v r="$r" 'BEGIN { exit !(r >= 0.7) }' || { verdict="BELOW TARGET"; status=1; }
    [ "$(files_of "$line")" = "$count" ] || { verdict="WRONG FILE COUNT $(files_of "$line")"; status=1; }
    printf '  %-8s %8s files/s in %7ss, ratio to floor %s  %s\n' "$name" "$(rate_of "$line")" "$(seconds_of "$line")" "$r" "$verdict"
  done
  verdict=ok
  awk -v a="$(seconds_of "$best_rescan")" -v b="$(seconds_of "$best_window")" 'BEGIN { exit !(a <= b) }' ||
    { verdict="SLOWER THAN A NEW SCAN"; status=1; }
  printf '  %-8s %8s files/s in %7ss, against a new scan in %ss  %s\n' rescan "$(rate_of "$best_rescan")" \
    "$(seconds_of "$best_rescan")" "$(seconds_of "$best_window")" "$verdict"
done
exit $status
