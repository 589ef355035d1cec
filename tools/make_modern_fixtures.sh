#!/usr/bin/env bash
# Makes small real movie files in today's containers with ffmpeg:
#   tools/make_modern_fixtures.sh OUTDIR
# Every file is at most a second long at a small resolution. Files that
# already exist are kept, so a second run costs almost nothing; each file is
# written under a temporary name and renamed, so two runs at once are safe.
# A file whose encoder this ffmpeg lacks (libx264, libmp3lame) is skipped.
# Prints nothing on success; prints each skipped file on stderr.
set -euo pipefail

source "$(dirname "$0")/movie-fixture-lib.sh"

# shellcheck disable=SC2086  # the input lists split on purpose
{
  # ---- ISO base media (MP4, MOV, 3GP), Matroska and WebM, ASF ----

  # ---- FLV, MPEG transport streams, MPEG program streams, AVI ----
  :
}
finish_fixtures
