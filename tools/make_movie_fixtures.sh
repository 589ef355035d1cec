#!/usr/bin/env bash
# Makes a tree of small real movie files with ffmpeg:
#   tools/make_movie_fixtures.sh OUTDIR
# Every file is at most a second long at a small resolution. Files that
# already exist are kept, so a second run costs almost nothing; each file is
# written under a temporary name and put in place only when no other run
# got there first, so two runs at once are safe.
# A file whose encoder this ffmpeg lacks (libx264, libmp3lame) is skipped.
# Prints nothing on success; prints each skipped file on stderr.
set -euo pipefail

source "$(dirname "$0")/movie-fixture-lib.sh"
mkdir -p "$out/sub/deeper"

# shellcheck disable=SC2086  # the input lists split on purpose
{
  # MPEG-4 part 2 under several handler codes.
  if [ $have_mp3 = 1 ]; then
    movie xvid_mp3.avi avi $v25 $a44 -c:v mpeg4 -vtag XVID -q:v 5 "${mp3[@]}" -ac 1
    movie divx_mp3.avi avi $v2997 $a44 -c:v mpeg4 -vtag DIVX -q:v 5 "${mp3[@]}" -ac 1
    movie CLIP.AVI avi $v25 $a44 -c:v mpeg4 -vtag DIVX -q:v 5 "${mp3[@]}" -ac 1
    movie audio_only.avi avi $a44 -c:a libmp3lame -b:a 128k -ac 1
    movie mp43_mp3.avi avi $v25 $a22 -c:v msmpeg4 -vtag MP43 -q:v 5 -c:a libmp3lame -b:a 64k -ac 1
  else
    for f in xvid_mp3.avi divx_mp3.avi CLIP.AVI audio_only.avi mp43_mp3.avi; do skip $f libmp3lame; done
  fi
  movie dx50_ac3.avi avi $v2398 $a48 -c:v mpeg4 -vtag DX50 -q:v 5 -c:a ac3 -b:a 192k -ac 2
  movie fmp4_pcm.avi avi $v15 $a22 -c:v mpeg4 -q:v 5 -c:a pcm_s16le -ac 1
  movie video_only.avi avi $v25 -c:v mpeg4 -vtag XVID -q:v 5
  movie divx_wma.avi avi $v25 $a44 -c:v mpeg4 -vtag DIVX -q:v 5 -c:a wmav2 -b:a 64k -ac 1

  # Microsoft MPEG-4 variants.
  movie mp42_adpcm.avi avi $v25 $a22 -c:v msmpeg4v2 -q:v 5 -c:a adpcm_ms -ac 1
  movie div3_mp2.avi avi $v2997 $a44 -c:v msmpeg4 -vtag DIV3 -q:v 5 -c:a mp2 -b:a 128k -ac 1

  # Older codecs and uncompressed video.
  movie cvid_ima.avi avi $v15 $a22 -c:v cinepak -c:a adpcm_ima_wav -ac 1
  movie msvc_pcm.avi avi $v15 $a8 -c:v msvideo1 -pix_fmt rgb555le -c:a pcm_s16le -ac 1
  movie mjpg_pcm.avi avi $v25 $a32 -c:v mjpeg -q:v 8 -pix_fmt yuvj420p -c:a pcm_s16le -ac 1
  movie raw_pcm.avi avi $v10 $a8 -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le -ac 1

  if has_encoder libx264; then
    movie h264_mp2.avi avi $v25 $a44 -c:v libx264 -preset ultrafast -crf 35 -c:a mp2 -b:a 96k -ac 1
  else
    skip h264_mp2.avi libx264
  fi

  # MPEG program streams.
  movie mpeg1.mpg mpeg $v25 $a44 -c:v mpeg1video -q:v 5 -c:a mp2 -b:a 128k
  movie MPEG2.MPG vob $v2997 $a48 -c:v mpeg2video -q:v 5 -c:a mp2 -b:a 192k
  movie vcd.mpg vcd $v2997 $a44 -target ntsc-vcd

  # RealMedia.
  movie clip.rm rm $v15 $a8 -c:v rv10 -q:v 5 -c:a real_144 -ac 1

  # Nested folders.
  movie sub/nested.avi avi $v25 -c:v mpeg4 -vtag XVID -q:v 5
  movie sub/deeper/deep.mpg mpeg $v25 -c:v mpeg1video -q:v 5
}
finish_fixtures
