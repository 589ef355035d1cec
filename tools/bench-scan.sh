#!/usr/bin/env bash
# Scan benchmark (not a test). Makes once, under build/bench-data, a tree of
# 20,000 small AVI files of several codecs in nested folders, and one of as
# many MP4 and MKV files; then for each, with a warm cache, measures files
# per second of:
#   - the native core scan (walk, row builder, probes over POSIX files)
#   - the native floor (walk, stat, read first 4 KB and last 1 KB per file)
#   - mediainfo printing one line per file
#   - under Wine: the Windows program's own scan and the Wine floor
# Each scan should reach at least half of its own floor's rate.
# CLIP_BENCH_DIR / CLIP_WIN_DIR pick other build folders (default build/bench
# and build/win); CLIP_BENCH_FILES changes the tree size, CLIP_BENCH_KINDS
# the trees ("avi modern").
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bench_dir=${CLIP_BENCH_DIR:-build/bench}
win_dir=${CLIP_WIN_DIR:-build/win}
count=${CLIP_BENCH_FILES:-20000}

# Runs "floor" and "scan" commands alternately, one pass each, three times,
# and keeps each one's best pass, so that a busy moment of the machine
# weighs on both alike. Sets floor_out and scan_out.
alternate() {
  local floor_cmd=$1 scan_cmd=$2 best_floor="" best_scan="" out i
  for i in 1 2 3; do
    out=$(eval "$floor_cmd" 2>/dev/null | tr -d '\r')
    if [ -z "$best_floor" ] || [ "$(rate_of "$out")" -gt "$(rate_of "$best_floor")" ]; then best_floor=$out; fi
    out=$(eval "$scan_cmd" 2>/dev/null | tr -d '\r')
    if [ -z "$best_scan" ] || [ "$(rate_of "$out")" -gt "$(rate_of "$best_scan")" ]; then best_scan=$out; fi
  done
  floor_out=$best_floor
  scan_out=$best_scan
}

rate_of() { sed -nE 's/.*rate ([0-9]+).*/\1/p' <<<"$1"; }
files_of() { sed -nE 's/^files ([0-9]+).*/\1/p' <<<"$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

run_kind() {
  make_tree
  # Warm the cache: read every file once.
  find "$tree" -type f -print0 | xargs -0 cat >/dev/null

  results=()
  native_scan=""; native_floor=""; wine_scan=""; wine_floor=""; mi=""
  if [ -x "$bench_dir/tests/bench/scan/scan_bench" ]; then
    alternate '"$bench_dir/tests/bench/scan/scan_floor" "$tree" 1' \
              '"$bench_dir/tests/bench/scan/scan_bench" "$tree" 1'
    native_floor=$floor_out
    native_scan=$scan_out
    echo "native scan:  $native_scan"
    echo "native floor: $native_floor"
  else
    echo "native scan: $bench_dir/tests/bench/scan/scan_bench not built (make bench-build)"
  fi

  if ! command -v mediainfo >/dev/null; then
    echo "installing mediainfo"
    (apt-get install -y mediainfo >/dev/null 2>&1 || sudo apt-get install -y mediainfo >/dev/null 2>&1) || true
  fi
  if command -v mediainfo >/dev/null; then
    start=$(date +%s.%N)
    lines=$(mediainfo --Output='General;%CompleteName%|%Format%|%Duration%\n' "$tree" | grep -c '|' || true)
    end=$(date +%s.%N)
    mi_rate=$(awk -v n="$lines" -v s="$start" -v e="$end" 'BEGIN { printf "%.0f", n / (e - s) }')
    mi="files $lines seconds $(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", e - s }') rate $mi_rate"
    echo "mediainfo:    $mi"
  else
    echo "mediainfo: not available"
  fi

  win_bench=$win_dir/tests/bench/scan/scan_bench_win.exe
  win_floor=$win_dir/tests/bench/scan/scan_floor_win.exe
  if [ -f "$win_bench" ] && [ -f "$win_floor" ]; then
    source tools/wine-env.sh
    clip_ensure_display
    bash tools/wine-prefix.sh
    wtree=$(wine64 winepath -w "$root/$tree" 2>/dev/null | tr -d '\r')
    alternate 'wine64 "$win_floor" "$wtree" 1' 'wine64 "$win_bench" "$wtree" 1'
    wine_floor=$floor_out
    wine_scan=$scan_out
    echo "wine scan:    $wine_scan"
    echo "wine floor:   $wine_floor"
  else
    echo "wine scan: $win_bench not built (make win)"
  fi

  echo
  echo "$kind tree: files per second (target: each scan at least 0.50 of its own floor)"
  check() {
    local name=$1 scan=$2 floor=$3
    [ -n "$scan" ] && [ -n "$floor" ] || return 0
    local r; r=$(ratio "$(rate_of "$scan")" "$(rate_of "$floor")")
    local verdict=ok
    awk -v r="$r" 'BEGIN { exit !(r >= 0.5) }' || { verdict="BELOW TARGET"; status=1; }
    if [ "$(files_of "$scan")" != "$count" ]; then verdict="WRONG FILE COUNT $(files_of "$scan")"; status=1; fi
    printf '%-12s %8s files/s, floor %8s, ratio %s  %s\n' "$name" "$(rate_of "$scan")" "$(rate_of "$floor")" "$r" "$verdict"
  }
  check native "$native_scan" "$native_floor"
  check wine "$wine_scan" "$wine_floor"
  if [ -n "$mi" ] && [ -n "$native_scan" ]; then
    printf '%-12s %8s files/s; native scan / mediainfo %s' mediainfo "$(rate_of "$mi")" "$(ratio "$(rate_of "$native_scan")" "$(rate_of "$mi")")"
    [ -n "$wine_scan" ] && printf ', wine scan / mediainfo %s' "$(ratio "$(rate_of "$wine_scan")" "$(rate_of "$mi")")"
    echo
  fi
  if [ -n "$native_scan" ] && [ -n "$wine_scan" ]; then
    echo "wine scan / native scan $(ratio "$(rate_of "$wine_scan")" "$(rate_of "$native_scan")")"
  fi
}

status=0
for kind in ${CLIP_BENCH_KINDS:-avi modern}; do
  source tools/scan-tree-lib.sh
  echo "== $kind tree"
  run_kind
  echo
done
exit $status
