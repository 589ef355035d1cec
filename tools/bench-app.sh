#!/usr/bin/env bash
# The main window under Wine with 10,000 and 100,000 rows: load a CSV list,
# sort by a text column and by the byte-size column both ways, save as CSV,
# select 1,000 rows and click, fit every column to its texts, one find
# keystroke, select every match, select the duplicates. Prints each time and
# the 100k/10k ratio.
# Targets: each operation at 100,000 rows about a second or less, and no
# ratio above 15; at 100,000 rows a find keystroke at most 50 ms, selecting
# every match at most 200 ms, the duplicates at most 500 ms.
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
    split("find_key_found 50 find_key_nowhere 50 find_select_all 200 find_select_every 200 duplicates_all 500 duplicates_but_one 500", goal, " ")
    for (i = 1; i < 12; i += 2) {
      op = goal[i]; b = t[op, large]
      if (b == "") continue
      printf "%-18s %8.1fms at %d rows (target: at most %d ms)  %s\n", op, b, large, goal[i + 1], (b <= goal[i + 1]) ? "ok" : "BELOW TARGET"
    }
  }' <<<"$out"
