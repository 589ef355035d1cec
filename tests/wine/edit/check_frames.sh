#!/usr/bin/env bash
# After the INFO writer ran on copies of real movies: every written copy
# must decode to exactly the frames of its original.
#   check_frames.sh ORIGINALS WRITTEN
set -euo pipefail
originals=$1 written=$2
shopt -s nullglob
count=0
for copy in "$written"/*.avi "$written"/*.AVI; do
  name=$(basename "$copy")
  original="$originals/$name"
  [ -f "$original" ] || { echo "no original for $name" >&2; exit 1; }
  if cmp -s "$original" "$copy"; then
    echo "$name was not written" >&2
    exit 1
  fi
  # The original's bytes come first, unchanged.
  cmp -s -n "$(stat -c %s "$original")" "$original" "$copy" || { echo "$name: bytes changed" >&2; exit 1; }
  # Packets as stored, then the decoded frames.
  a=$(ffmpeg -nostdin -v error -i "$original" -map 0 -c copy -f framemd5 - 2>&1)
  b=$(ffmpeg -nostdin -v error -i "$copy" -map 0 -c copy -f framemd5 - 2>&1)
  [ "$a" = "$b" ] || { echo "$name: frames differ after writing" >&2; exit 1; }
  c=$(ffmpeg -nostdin -v error -i "$original" -map 0 -f framemd5 - 2>&1)
  d=$(ffmpeg -nostdin -v error -i "$copy" -map 0 -f framemd5 - 2>&1)
  [ "$c" = "$d" ] || { echo "$name: decoded frames differ after writing" >&2; exit 1; }
  count=$((count + 1))
done
[ "$count" -ge 5 ] || { echo "only $count written movies to check" >&2; exit 1; }
echo "$count written movies decode to the same frames"
