#!/usr/bin/env bash
# Runs the native suite, the short fuzz runs, the Wine suite and the checks
# of the release files (make dist), then prints one closing line over all
# of them.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
clip_ensure_display
total_pass=0; total_fail=0; status=0
run_suite() {
  local name=$1; shift
  echo "== $name"
  local log; log=$(mktemp)
  ctest "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line; line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$line" ]; then
    local failed all
    failed=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    all=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    total_fail=$((total_fail + failed)); total_pass=$((total_pass + all - failed))
  fi
  [ "$rc" -eq 0 ] || status=1
  rm -f "$log"
}
run_suite native --test-dir build/native --output-on-failure -j 2
if [ -d build/fuzz ]; then
  run_suite fuzz --test-dir build/fuzz --output-on-failure -L fuzz -j 2
fi
run_suite wine --test-dir build/win --output-on-failure
echo "== release"
release_log=$(mktemp)
bash tools/check-release.sh | tee "$release_log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
release_line=$(grep -E '^release: [0-9]+ passed, [0-9]+ failed' "$release_log" | tail -1)
if [ -n "$release_line" ]; then
  total_pass=$((total_pass + $(sed -E 's/release: ([0-9]+) passed.*/\1/' <<<"$release_line")))
  total_fail=$((total_fail + $(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$release_line")))
else
  total_fail=$((total_fail + 1))
fi
rm -f "$release_log"
echo
echo "all suites: ${total_pass} passed, ${total_fail} failed"
exit $status
