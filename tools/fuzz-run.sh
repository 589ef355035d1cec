#!/usr/bin/env bash
# One libFuzzer run: CLIP_FUZZ_SECONDS (default 15) over the seeds.
set -euo pipefail
exe=$1 work=$2 seeds=$3
mkdir -p "$work"
exec "$exe" -max_total_time="${CLIP_FUZZ_SECONDS:-15}" -timeout=5 -rss_limit_mb=2048 \
  -artifact_prefix="$work/" "$work" "$seeds"
