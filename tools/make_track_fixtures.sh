#!/usr/bin/env bash
# Makes small movie files with several audio and subtitle tracks, languages,
# forced subtitles, chapters, 5.1 and 7.1 layouts and 10-bit HDR video:
#   tools/make_track_fixtures.sh OUTDIR
# Like make_modern_fixtures.sh: files already there are kept, and a file
# whose encoder this ffmpeg lacks is skipped with a note on stderr.
set -euo pipefail

source "$(dirname "$0")/movie-fixture-lib.sh"

# Three subtitles and three chapters, as inputs.
srt="$out/.cues.srt"
[ -s "$srt" ] || printf '1\n00:00:00,000 --> 00:00:00,500\nhello\n\n' >"$srt"
chapters="$out/.chapters.txt"
[ -s "$chapters" ] || {
  printf ';FFMETADATA1\n'
  for i in 0 1 2; do
    printf '[CHAPTER]\nTIMEBASE=1/1000\nSTART=%d\nEND=%d\ntitle=Part %d\n' \
      $((i * 300)) $((i * 300 + 300)) $((i + 1))
  done
} >"$chapters"

v=$(video 25 64x64)
surround=(-f lavfi -i "sine=frequency=440:sample_rate=48000:duration=1,aformat=channel_layouts=5.1")
wide=(-f lavfi -i "sine=frequency=440:sample_rate=48000:duration=1,aformat=channel_layouts=7.1")
mono=$(audio 48000)
subs=(-i "$srt" -i "$srt" -i "$srt")
meta=(-i "$chapters")
hevc10=(-c:v libx265 -preset ultrafast -x265-params log-level=none -pix_fmt yuv420p10le)
# Inputs: 0 video, 1 the 5.1 tone, 2 mono, 3 7.1, 4-6 cues, 7 chapters.
inputs=($v "${surround[@]}" $mono "${wide[@]}" "${subs[@]}" "${meta[@]}")
maps=(-map 0 -map 1 -map 2 -map 3 -map 4 -map 5 -map 6 -map_chapters 7)
langs=(-metadata:s:a:0 language=jpn -metadata:s:a:1 language=eng
  -metadata:s:s:0 language=jpn -metadata:s:s:1 language=eng -metadata:s:s:2 language=eng
  -disposition:s:2 forced)

if has_encoder libx265; then
  movie tracks_pq.mkv matroska "${inputs[@]}" "${maps[@]}" "${hevc10[@]}" -color_trc smpte2084 \
    -color_primaries bt2020 -colorspace bt2020nc -c:a aac -b:a 64k -c:s srt "${langs[@]}"
  movie tracks_hlg.mp4 mp4 "${inputs[@]}" "${maps[@]}" "${hevc10[@]}" -tag:v hvc1 \
    -color_trc arib-std-b67 -color_primaries bt2020 -colorspace bt2020nc -c:a aac -b:a 64k \
    -c:s mov_text "${langs[@]}"
  # A transport stream keeps depth and transfer in the video's own headers.
  movie tracks_pq.ts mpegts $v "${surround[@]}" -map 0 -map 1 "${hevc10[@]}" -color_trc smpte2084 \
    -color_primaries bt2020 -colorspace bt2020nc -c:a aac -b:a 64k
else
  skip tracks_pq.mkv libx265
  skip tracks_hlg.mp4 libx265
  skip tracks_pq.ts libx265
fi
if has_encoder libopus && has_encoder libvpx-vp9; then
  # Opus 5.1 (channel mapping family 1) first, then a track without a language.
  movie tracks_opus.webm webm $v "${surround[@]}" $mono -map 0 -map 1 -map 2 \
    -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 50k -c:a libopus -b:a 64k \
    -metadata:s:a:0 language=fre
else
  skip tracks_opus.webm "libopus or libvpx-vp9"
fi
if has_encoder libx264; then
  movie tracks_ac3.ts mpegts $v "${surround[@]}" $mono -map 0 -map 1 -map 2 \
    -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a ac3 -b:a 192k -metadata:s:a:0 language=jpn \
    -metadata:s:a:1 language=eng
  movie tracks_8bit.mp4 mp4 $v $mono "${meta[@]}" -map 0 -map 1 -map_chapters 2 \
    -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a ac3 -b:a 96k
else
  skip tracks_ac3.ts libx264
  skip tracks_8bit.mp4 libx264
fi
movie tracks_two_audio.avi avi $v "${surround[@]}" $mono -map 0 -map 1 -map 2 -c:v mpeg4 -q:v 8 \
  -c:a ac3 -b:a 192k
# Matroska keeps no layout for AC-3 and DTS: the frames say it.
stereo=(-f lavfi -i "sine=frequency=440:sample_rate=48000:duration=1,aformat=channel_layouts=stereo")
movie tracks_ac3.mkv matroska $v "${surround[@]}" -map 0 -map 1 -c:v mpeg4 -q:v 8 -c:a ac3 -b:a 192k
if has_encoder dca; then
  movie tracks_dts.mkv matroska $v "${surround[@]}" -map 0 -map 1 -c:v mpeg4 -q:v 8 -c:a dca \
    -strict -2 -b:a 768k
  movie tracks_dts.ts mpegts $v "${surround[@]}" -map 0 -map 1 -c:v mpeg4 -q:v 8 -c:a dca \
    -strict -2 -b:a 768k
else
  skip tracks_dts.mkv dca
  skip tracks_dts.ts dca
fi
movie tracks_mp2.mkv matroska $v "${stereo[@]}" -map 0 -map 1 -c:v mpeg4 -q:v 8 -c:a mp2 -b:a 128k
finish_fixtures
