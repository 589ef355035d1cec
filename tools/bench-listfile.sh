#!/usr/bin/env bash
# List files: write and read back 100,000 rows of seventeen columns as CSV,
# against Python's csv module reading and writing the same rows. Target:
# each operation takes at most a third of Python's time ("ok", else "SLOW";
# the script itself always succeeds so that the other benchmarks run).
set -euo pipefail
cd "$(dirname "$0")/.."
bench=${CLIP_BENCH_DIR:-build/bench}/tests/bench/listfile/listfile_bench
rows=${CLIP_BENCH_ROWS:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ours=$("$bench" "$work" "$rows")
py=$(python3 - "$work/bench.csv" "$work/python.csv" <<'PY'
import csv, sys, time
src, dst = sys.argv[1], sys.argv[2]
def best(runs, f):
    global rows
    t = None
    for _ in range(runs):
        if f is read:
            rows = []  # the previous result is freed outside the timed part
        s = time.perf_counter(); f(); d = (time.perf_counter() - s) * 1000
        t = d if t is None or d < t else t
    return t
rows = []
def read():
    global rows
    with open(src, newline="", encoding="cp932") as f:
        rows = list(csv.reader(f))
def write():
    with open(dst, "w", newline="", encoding="cp932") as f:
        csv.writer(f, quoting=csv.QUOTE_ALL, lineterminator="\r\n").writerows(rows)
r = best(5, read)
w = best(5, write)
print("csv_read %.1f" % r)
print("csv_write %.1f" % w)
print("rows %d" % (len(rows) - 1))
PY
)
get() { awk -v k="$1" '$1 == k { print $2 }' <<<"$2"; }
printf '%-11s %10s %10s %7s\n' operation "ours(ms)" "python(ms)" ratio
for op in csv_write csv_read; do
  o=$(get "$op" "$ours") p=$(get "$op" "$py")
  ratio=$(awk -v o="$o" -v p="$p" 'BEGIN { printf "%.3f", o / p }')
  verdict=$(awk -v r="$ratio" 'BEGIN { print (r <= 1/3) ? "ok" : "SLOW" }')
  printf '%-11s %10s %10s %7s %s\n' "$op" "$o" "$p" "$ratio" "$verdict"
done
printf '%-11s %10s\n' text_write "$(get text_write "$ours")" html_write "$(get html_write "$ours")"
echo "rows: $rows (python read $(get rows "$py")); target: ours <= python / 3"
