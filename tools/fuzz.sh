#!/usr/bin/env bash
# Long fuzz runs: every target for CLIP_FUZZ_SECONDS seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
ctest --test-dir build/fuzz --output-on-failure -L fuzz
