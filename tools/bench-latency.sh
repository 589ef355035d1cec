#!/usr/bin/env bash
# Latency benchmark (not a test): a scan of a tree on a slow share. The
# benchmark's tree of 2,000 AVI files is mounted through slowfs, a FUSE file
# system that answers every request after 1 ms with the kernel's caches off,
# and in one run, side by side:
#   - cli --jobs 1, 4, 16: clipledger-cli writing CSV, natively;
#   - floor 1 and 16: the Wine floor on 1 and on 16 threads: list, open, and
#     one read of each file's first 64 KB, which is what the program reads
#     of a file that small (the whole of it, in one call);
#   - window: clipledger.exe under Wine started on the tree, up to its totals,
#     while another thread times how long its main window takes to answer;
#   - stop: the same, with Esc pressed once 100 rows are listed, timed up to
#     the status bar's note of the stop.
# slowfs counts the requests that reach it, so each program's requests per
# file (and what they are) are printed too: each one is a round trip on a
# share. Targets: the window within 1.20 of the 16-thread floor's time and
# at least 1.25 times faster than the 1-thread floor; its answers at once
# (median under 5 ms, worst under 50 ms); Esc stopping within 200 ms; cli
# --jobs 4 and 16 at least 3 and 8 times as fast as --jobs 1.
# Skips, saying so, without /dev/fuse, fusermount3 or the builds; the mount
# is always undone, on failure too.
# CLIP_BENCH_LATENCY_FILES / CLIP_BENCH_LATENCY_MS change the tree and the
# delay; CLIP_BENCH_DIR / CLIP_WIN_DIR pick other build folders.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bench_dir=${CLIP_BENCH_DIR:-build/bench}
win_dir=${CLIP_WIN_DIR:-build/win}
count=${CLIP_BENCH_LATENCY_FILES:-2000}
delay_ms=${CLIP_BENCH_LATENCY_MS:-1}

slowfs=$bench_dir/tests/bench/scan/slowfs
cli=$bench_dir/cli/clipledger-cli
wbench=$win_dir/tests/bench/app/window_scan_bench_win.exe
wfloor=$win_dir/tests/bench/scan/scan_floor_win.exe
exe=$win_dir/app/clipledger.exe

skip() {
  echo "latency: $1; not measured"
  exit 0
}
[ -e /dev/fuse ] || skip "no /dev/fuse on this machine"
command -v fusermount3 >/dev/null || skip "no fusermount3 (Debian package fuse3)"
[ -x "$slowfs" ] || skip "$slowfs not built (make bench-build, with libfuse3-dev)"
[ -x "$cli" ] || skip "$cli not built (make bench-build)"
wine=yes
if [ ! -f "$wbench" ] || [ ! -f "$wfloor" ] || [ ! -f "$exe" ]; then
  echo "latency: the Windows programs are not built (make win); the command line alone"
  wine=no
fi

kind=avi
source tools/scan-tree-lib.sh
make_tree
# The whole data folder is mounted and the tree scanned inside it: Wine takes
# a mount point itself for a reparse point, which the program does not enter.
mnt=$root/build/latency-mount
counts=$root/build/latency-counts
scratch=$(mktemp -d)
fs_pid=""

mounted() { grep -qs " $mnt fuse" /proc/mounts; }
# Undoes the mount (lazily when something still holds it) and ends slowfs.
unmount() {
  if mounted; then fusermount3 -u "$mnt" 2>/dev/null || fusermount3 -u -z "$mnt" 2>/dev/null || true; fi
  if [ -n "$fs_pid" ]; then
    for _ in $(seq 40); do
      kill -0 "$fs_pid" 2>/dev/null || break
      sleep 0.05
    done
    kill "$fs_pid" 2>/dev/null || true
    wait "$fs_pid" 2>/dev/null || true
    fs_pid=""
  fi
}
cleanup() {
  unmount
  rm -rf "$scratch"
  rm -f "$counts" "$counts.part"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A mount left by a run that was killed outright goes first.
if mounted; then fusermount3 -u -z "$mnt" 2>/dev/null || true; fi
mkdir -p "$mnt"
"$slowfs" "$root/$data" "$mnt" --delay-us=$((delay_ms * 1000)) --counts="$counts" -f \
  2>"$scratch/slowfs.log" &
fs_pid=$!
for _ in $(seq 100); do
  mounted && break
  kill -0 "$fs_pid" 2>/dev/null || break
  sleep 0.05
done
if ! mounted; then
  cat "$scratch/slowfs.log" >&2
  fs_pid_dead=$fs_pid
  unmount
  skip "slowfs could not mount (pid $fs_pid_dead)"
fi
slow_tree=$mnt/${tree#"$data"/}
echo "latency: $count files under $slow_tree, ${delay_ms} ms per request, caches off"

# The counts so far, as "request count" lines (slowfs writes them on SIGUSR1).
snapshot() {
  rm -f "$counts"
  kill -USR1 "$fs_pid"
  for _ in $(seq 200); do
    [ -s "$counts" ] && break
    sleep 0.01
  done
  cat "$counts"
}

# Requests per file between two snapshots: "<total> <KB read> <kind=n ...>".
per_file() {
  awk -v files="$3" '
    FNR == NR { before[$1] = $2; next }
    { d[++n] = $1; delta[$1] = $2 - before[$1] }
    END { if (files <= 0) files = 1
          for (i = 1; i <= n; ++i) {
            k = d[i]
            if (k == "bytes_read") continue
            total += delta[k]
            v = delta[k] / files
            if (v >= 0.01) parts = parts sprintf(v < 0.1 ? " %s=%.2f" : " %s=%.1f", k, v)
          }
          printf "%.1f %.1f%s\n", total / files, delta["bytes_read"] / 1024 / files, parts }' "$1" "$2"
}

rows=()
# measure NAME COMMAND...: runs the command, which prints a line with
# "files N seconds S", and adds its row to the table. Sets $out.
measure() {
  local name=$1
  shift
  snapshot >"$scratch/before"
  out=$("$@" 2>"$scratch/stderr" | tr -d '\r') || true
  snapshot >"$scratch/after"
  local line files seconds
  line=$(grep -m1 'files [0-9]* seconds' <<<"$out" || true)
  files=$(sed -nE 's/.*files ([0-9]+).*/\1/p' <<<"$line")
  seconds=$(sed -nE 's/.*seconds ([0-9.]+).*/\1/p' <<<"$line")
  if [ -z "$files" ]; then
    echo "$name: no figures" >&2
    tail -5 "$scratch/stderr" >&2
    files=0 seconds=0
  fi
  local ops
  ops=$(per_file "$scratch/before" "$scratch/after" "$files")
  rows+=("$name|$files|$seconds|$ops")
  eval "seconds_${name//[^a-z0-9]/_}=$seconds"
  eval "files_${name//[^a-z0-9]/_}=$files"
}

# One pass of the program: "files N seconds S" (N: rows written).
cli_pass() {
  local start end n
  start=$(date +%s.%N)
  "$cli" --quiet --jobs "$1" -o "$scratch/out.csv" "$slow_tree" || true
  end=$(date +%s.%N)
  n=$(($(wc -l <"$scratch/out.csv") - 1))
  rm -f "$scratch/out.csv"
  awk -v n="$n" -v s="$start" -v e="$end" 'BEGIN { printf "files %d seconds %.3f\n", n, e - s }'
}

for jobs in 1 4 16; do
  measure "cli-$jobs" cli_pass "$jobs"
done

answers="" stop=""
if [ "$wine" = yes ]; then
  source tools/wine-env.sh
  clip_ensure_display
  bash tools/wine-prefix.sh
  wtree=$(wine64 winepath -w "$slow_tree" 2>/dev/null | tr -d '\r')
  wexe=$(wine64 winepath -w "$root/$exe" 2>/dev/null | tr -d '\r')
  measure floor-1 wine64 "$wfloor" "$wtree" 1 1 65536
  measure floor-16 wine64 "$wfloor" "$wtree" 1 16 65536
  measure window wine64 "$wbench" "$wtree" 1 "$wexe" live
  answers=$(grep '^answers' <<<"$out" || true)
  stop=$(wine64 "$wbench" "$wtree" 1 "$wexe" stop 2>/dev/null | tr -d '\r' | grep '^stop' || true)
fi
unmount

echo
printf '%-9s %6s %9s %8s %11s %9s  %s\n' program files seconds files/s requests/f KB_read/f "requests per file"
for r in "${rows[@]}"; do
  IFS='|' read -r name files seconds ops <<<"$r"
  read -r total kb parts <<<"$ops"
  rate=$(awk -v n="$files" -v s="$seconds" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }')
  printf '%-9s %6s %9s %8s %11s %9s  %s\n' "$name" "$files" "$seconds" "$rate" "$total" "$kb" "$parts"
done
echo

status=0
# verdict TEXT CONDITION: prints the text with ok or BELOW TARGET.
verdict() {
  if awk "BEGIN { exit !($2) }"; then echo "$1  ok"; else
    echo "$1  BELOW TARGET"
    status=1
  fi
}
for name in cli_1 cli_4 cli_16 floor_1 floor_16 window; do
  f=files_$name
  [ -n "${!f:-}" ] || continue
  [ "${!f}" = "$count" ] || { echo "$name: ${!f} files of $count  WRONG FILE COUNT"; status=1; }
done
verdict "cli --jobs 4 / --jobs 1 speed $(awk -v a="$seconds_cli_1" -v b="$seconds_cli_4" 'BEGIN { printf "%.2f", a / b }') (target 3)" \
  "$seconds_cli_4 > 0 && $seconds_cli_1 / $seconds_cli_4 >= 3"
verdict "cli --jobs 16 / --jobs 1 speed $(awk -v a="$seconds_cli_1" -v b="$seconds_cli_16" 'BEGIN { printf "%.2f", a / b }') (target 8)" \
  "$seconds_cli_16 > 0 && $seconds_cli_1 / $seconds_cli_16 >= 8"
if [ "$wine" = yes ]; then
  w=${seconds_window:-0}
  verdict "window time / 16-thread floor's $(awk -v a="$w" -v b="$seconds_floor_16" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }') (target 1.20 at most)" \
    "$w > 0 && $w <= 1.2 * $seconds_floor_16"
  verdict "1-thread floor's time / window's $(awk -v a="$seconds_floor_1" -v b="$w" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }') (target 1.25)" \
    "$w > 0 && $seconds_floor_1 >= 1.25 * $w"
  median=$(sed -nE 's/.*median_ms ([0-9.]+).*/\1/p' <<<"$answers")
  worst=$(sed -nE 's/.*worst_ms ([0-9.]+).*/\1/p' <<<"$answers")
  n=$(sed -nE 's/.*count ([0-9]+).*/\1/p' <<<"$answers")
  verdict "window answers during the scan: ${n:-0} messages, median ${median:-?} ms, worst ${worst:-?} ms (targets 5 and 50)" \
    "${n:-0} > 0 && ${median:-999} < 5 && ${worst:-999} < 50"
  ms=$(sed -nE 's/.* ms (-?[0-9.]+).*/\1/p' <<<"$stop")
  at=$(sed -nE 's/.*rows_at_esc ([0-9]+).*/\1/p' <<<"$stop")
  after=$(sed -nE 's/.*rows_after (-?[0-9]+).*/\1/p' <<<"$stop")
  verdict "Esc at ${at:-?} rows: stopped after ${ms:-?} ms, ${after:-?} rows more (target 200 ms)" \
    "${ms:--1} >= 0 && ${ms:--1} <= 200"
fi
exit $status
