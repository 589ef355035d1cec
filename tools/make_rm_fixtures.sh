#!/usr/bin/env bash
# Makes small RealMedia files with ffmpeg, whose muxer writes RealVideo 2.0
# with RealAudio 14.4 or AC-3 (RealVideo 1.0 is among the movie fixtures):
#   tools/make_rm_fixtures.sh OUTDIR
# Files that already exist are kept (see movie-fixture-lib.sh).
set -euo pipefail

source "$(dirname "$0")/movie-fixture-lib.sh"

# shellcheck disable=SC2086  # the input lists split on purpose
{
  ja=(-metadata "title=日本語のタイトル" -metadata "author=山田太郎" -metadata "copyright=(C) 2003"
      -metadata "comment=コメント")
  movie rv20_ac3.rm rm $(video 25 160x112 2) $a48 -c:v rv20 -b:v 200k -c:a ac3 -b:a 96k "${ja[@]}"
  movie rv20_only.rm rm $(video 30000/1001 128x96) -c:v rv20 -b:v 100k -metadata "title=Video"
  movie audio_144.rm rm $(audio 8000 2) -c:a real_144 -metadata "copyright=(C) Clipledger"
}
finish_fixtures
