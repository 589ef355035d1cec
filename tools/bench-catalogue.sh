#!/usr/bin/env bash
# Code page 932 codec: encode, decode, cut, measure and sort keys over the
# 1.7 M cells of a 100,000-row catalogue (build/bench, CLIP_BENCH=ON).
# Target: encoding, decoding and the two cuts of every cell take less than
# half a second together ("ok", else "SLOW"; the script always succeeds so
# that the other benchmarks run).
set -euo pipefail
cd "$(dirname "$0")/.."
bench=${CLIP_BENCH_DIR:-build/bench}/tests/bench/catalogue/cp932_bench
out=$("$bench" "${CLIP_BENCH_ROWS:-100000}")
echo "$out"
awk '{ v[$1] = $2 } END {
  t = v["encode"] + v["decode"] + v["cut_255_127"]
  printf "encode+decode+cut %.1f ms for %d cells: %s (target < 500 ms)\n", t, v["cells"], t < 500 ? "ok" : "SLOW"
}' <<<"$out"
