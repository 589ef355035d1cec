#!/usr/bin/env bash
# The main window under Wine with 10,000 and 100,000 rows: load a CSV list,
# sort by a text column and by the byte-size column both ways, save as CSV,
# select 1,000 rows and click, fit every column to its texts. Prints each
# time and the 100k/10k ratio.
# Targets: each operation at 100,000 rows about a second or less, and no
# ratio above 15.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${CLIP_WIN_DIR:-build/win}/tests/bench/app/app_bench_win.exe
small=${CLIP_BENCH_SMALL:-10000}
large=${CLIP_BENCH_LARGE:-100000}
out=$(bash tools/wine-run.sh "$exe" "$small" "$large" | tr -d '\r')
awk -v small="$small" -v large="$large" '
  { t[$1, $2] = $3; if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } }
  END {
    printf "%-18s %10s %10s %7s\n", "operation", small " rows", large " rows", "ratio"
    worst = 0; slowest = 0
    for (i = 1; i <= n; i++) {
      op = order[i]; a = t[op, small]; b = t[op, large]
      r = (a > 0) ? b / a : 0
      printf "%-18s %8.1fms %8.1fms %7.1f\n", op, a, b, r
      if (r > worst) worst = r
      if (b > slowest) slowest = b
    }
    printf "slowest at %d rows: %.0f ms (target: about 1000 ms); largest ratio: %.1f (target: at most 15)\n", large, slowest, worst
  }' <<<"$out"
