#!/usr/bin/env bash
# Benchmarks (not tests): each prints its own figures.
set -euo pipefail
cd "$(dirname "$0")/.."
for b in tools/bench-*.sh; do
  [ -e "$b" ] || continue
  echo "== $b"
  bash "$b"
done
