#!/usr/bin/env bash
# Makes small real movie files in today's containers with ffmpeg:
#   tools/make_modern_fixtures.sh OUTDIR
# Every file is at most a second long at a small resolution. Files that
# already exist are kept, so a second run costs almost nothing; each file is
# written under a temporary name and renamed, so two runs at once are safe.
# A file whose encoder this ffmpeg lacks (libx264, libmp3lame) is skipped.
# Prints nothing on success; prints each skipped file on stderr.
set -euo pipefail

out=${1:?usage: make_modern_fixtures.sh OUTDIR}
mkdir -p "$out"

# A finished run leaves the list of what it made; when this script has not
# changed since and every listed file is still there, there is nothing to do.
stamp="$out/.made"
if [ -s "$stamp" ] && [ "$stamp" -nt "$0" ]; then
  complete=1
  while IFS= read -r f; do [ -s "$out/$f" ] || { complete=0; break; }; done <"$stamp"
  [ $complete = 1 ] && exit 0
fi
command -v ffmpeg >/dev/null || { echo "make_modern_fixtures: ffmpeg not found" >&2; exit 1; }

encoders=$(ffmpeg -hide_banner -encoders 2>/dev/null || true)
has_encoder() { grep -qE "^ [A-Z.]{6} $1 " <<<"$encoders"; }

# movie NAME FORMAT ARGS...: NAME relative to OUTDIR, FORMAT the muxer.
movie() {
  local name=$1 format=$2
  shift 2
  local target="$out/$name"
  made+=("$name")
  [ -s "$target" ] && return 0
  local tmp
  tmp="$(dirname "$target")/.tmp.$$.$(basename "$target")"
  if ffmpeg -nostdin -hide_banner -loglevel error -y "$@" \
      -fflags +bitexact -flags:v +bitexact -flags:a +bitexact -f "$format" "$tmp"; then
    mv -f "$tmp" "$target"
  else
    rm -f "$tmp"
    echo "make_modern_fixtures: could not make $name" >&2
    failed=1
  fi
}

# Inputs: a test pattern and a tone of the given rates and duration.
video() { echo -f lavfi -i "testsrc=size=${2}:rate=${1}:duration=${3:-1}"; }
audio() { echo -f lavfi -i "sine=frequency=440:sample_rate=${1}:duration=${2:-1}"; }

v25=$(video 25 160x120)
v2997=$(video 30000/1001 160x120)
v15=$(video 15 176x144)
v2398=$(video 24000/1001 128x96)
v10=$(video 10 32x24)
a44=$(audio 44100)
a48=$(audio 48000)
a22=$(audio 22050)
a32=$(audio 32000)
a8=$(audio 8000)

failed=0
made=()
mp3=(-c:a libmp3lame -b:a 128k)
have_mp3=0
has_encoder libmp3lame && have_mp3=1
skip() { echo "make_modern_fixtures: skipped $1 ($2 missing)" >&2; }

# shellcheck disable=SC2086  # the input lists split on purpose
{
  # ---- ISO base media (MP4, MOV, 3GP), Matroska and WebM, ASF ----

  # ---- FLV, MPEG transport streams, MPEG program streams, AVI ----
  # A second and a half: the play time then lies clear of a whole second.
  f25=$(video 25 160x120 1.5)
  f2997=$(video 30000/1001 160x120 1.5)
  f2398=$(video 24000/1001 128x96 1.5)
  g44=$(audio 44100 1.5)
  g48=$(audio 48000 1.5)
  tags=(-metadata title="Harbour Lights" -metadata artist="Ada Quill" -metadata genre=Documentary
    -metadata comment="shot at dawn")
  x264=(-c:v libx264 -preset ultrafast -crf 35)
  if [ $have_mp3 = 1 ]; then
    movie flv_h263_mp3.flv flv $f25 $g44 -c:v flv -q:v 5 "${mp3[@]}" -ac 1
  else
    skip flv_h263_mp3.flv libmp3lame
  fi
  if has_encoder libx264; then
    movie flv_h264_aac.flv flv $f2997 $g48 "${x264[@]}" -c:a aac -b:a 96k "${tags[@]}"
    movie ts_h264_aac.ts mpegts $f25 $g48 "${x264[@]}" -c:a aac -b:a 128k "${tags[@]}"
    movie m2ts_h264_ac3.m2ts mpegts $f2398 $g48 "${x264[@]}" -c:a ac3 -b:a 192k \
      -mpegts_m2ts_mode 1
  else
    for f in flv_h264_aac.flv ts_h264_aac.ts m2ts_h264_ac3.m2ts; do skip $f libx264; done
  fi
  if has_encoder libx265; then
    movie mts_h265_eac3.mts mpegts $f25 $g48 -c:v libx265 -preset ultrafast \
      -x265-params log-level=none -c:a eac3 -b:a 96k -mpegts_m2ts_mode 1
  else
    skip mts_h265_eac3.mts libx265
  fi
  movie ts_mpeg2_mp2.ts mpegts $f2997 $g44 -c:v mpeg2video -q:v 5 -c:a mp2 -b:a 128k
  movie ts_mpeg2_dts.ts mpegts $f25 $g48 -c:v mpeg2video -q:v 5 -c:a dca -strict -2 -ac 2
  # Over a minute, for the minutes of the play time and a tail read of its own.
  movie long_mpeg2_mp2.ts mpegts $(video 10 32x24 65) $(audio 32000 65) -c:v mpeg2video -q:v 8 \
    -c:a mp2 -b:a 128k
  movie vob_mpeg2_ac3.vob vob $f25 $g48 -c:v mpeg2video -q:v 5 -c:a ac3 -b:a 192k
  movie mpeg2_mp2.mpeg dvd $f2997 $g48 -c:v mpeg2video -q:v 5 -c:a mp2 -b:a 192k
  movie mpeg1_mp2.mpg mpeg $f25 $g44 -c:v mpeg1video -q:v 5 -c:a mp2 -b:a 128k
  movie lpcm.mpg vob $f25 $g48 -c:v mpeg2video -q:v 5 -c:a pcm_dvd -ac 2
  movie tagged.avi avi $f25 $g44 -c:v mpeg4 -q:v 5 -c:a mp2 -b:a 96k -ac 1 "${tags[@]}"
}
if [ $failed = 0 ]; then
  printf '%s\n' "${made[@]}" >"$stamp.$$" && mv -f "$stamp.$$" "$stamp"
fi
exit $failed
