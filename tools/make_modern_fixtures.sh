#!/usr/bin/env bash
# Makes small real movie files in today's containers with ffmpeg:
#   tools/make_modern_fixtures.sh OUTDIR
# Every file is at most a second long at a small resolution. Files that
# already exist are kept, so a second run costs almost nothing; each file is
# written under a temporary name and put in place only when no other run
# got there first, so two runs at once are safe.
# A file whose encoder this ffmpeg lacks (libx264, libmp3lame) is skipped.
# Prints nothing on success; prints each skipped file on stderr.
set -euo pipefail

source "$(dirname "$0")/movie-fixture-lib.sh"

# shellcheck disable=SC2086  # the input lists split on purpose
{
  # ---- ISO base media (MP4, MOV, 3GP), Matroska and WebM, ASF ----
  # iso_movie "ENCODERS" NAME FORMAT ARGS...: movie, or a note when an encoder is missing.
  iso_movie() {
    local encoder
    for encoder in $1; do has_encoder "$encoder" || { skip "$2" "$encoder"; return 0; }; done
    shift
    movie "$@"
  }
  mkdir -p "$out/iso" "$out/matroska" "$out/asf"
  # Tags in three scripts, so that UTF-8 and UTF-16 texts are checked beyond ASCII.
  ja=(-metadata "title=日本語のタイトル" -metadata "artist=山田太郎" -metadata "genre=アニメ"
      -metadata "comment=コメント𠮷")
  ko=(-metadata "title=한국어 제목" -metadata "artist=김철수" -metadata "genre=드라마"
      -metadata "comment=설명")
  el=(-metadata "title=Ελληνικά" -metadata "artist=Σωκράτης" -metadata "genre=Ντοκιμαντέρ"
      -metadata "comment=Σχόλιο")
  x264=(-c:v libx264 -preset ultrafast -pix_fmt yuv420p)
  aac=(-c:a aac -b:a 96k)

  # MP4: the index (moov) after the media data, before it, and in fragments.
  iso_movie "libx264" iso/h264_aac.mp4 mp4 $v25 $a44 "${x264[@]}" "${aac[@]}" "${ja[@]}"
  iso_movie "libx264" iso/h264_aac_faststart.mp4 mp4 $v2997 $a48 "${x264[@]}" "${aac[@]}" "${ko[@]}" \
    -movflags +faststart
  iso_movie "libx264" iso/h264_aac_frag.mp4 mp4 $v25 $a44 "${x264[@]}" -g 10 "${aac[@]}" \
    -movflags frag_keyframe+empty_moov
  iso_movie "libx264" iso/h264_aac_frag_faststart.mp4 mp4 $v2997 $a48 "${x264[@]}" -g 12 "${aac[@]}" \
    -movflags frag_keyframe+empty_moov+faststart
  iso_movie "libx264" iso/h264_aac_frag_first.mp4 mp4 $v15 $a32 "${x264[@]}" -g 5 "${aac[@]}" \
    -movflags frag_keyframe
  iso_movie "libx265 libmp3lame" iso/hevc_mp3.mp4 mp4 $v25 $a44 -c:v libx265 -preset ultrafast \
    -x265-params log-level=none -tag:v hvc1 -c:a libmp3lame -b:a 128k
  iso_movie "libaom-av1 libopus" iso/av1_opus.mp4 mp4 $v10 $a48 -c:v libaom-av1 -cpu-used 8 -row-mt 1 -b:v 50k \
    -c:a libopus -b:a 48k
  iso_movie "libvpx-vp9" iso/vp9_flac.mp4 mp4 $v2398 $a44 -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 100k \
    -c:a flac -strict -2
  iso_movie "libx264" iso/h264_eac3.mp4 mp4 $v25 $a48 "${x264[@]}" -c:a eac3 -b:a 96k
  iso_movie "mpeg2video" iso/mpeg2_mp2.mp4 mp4 $v25 $a44 -c:v mpeg2video -c:a mp2 -b:a 128k
  iso_movie "prores_ks" iso/prores_pcm.mov mov $v2398 $a48 -c:v prores_ks -profile:v 0 -c:a pcm_s16le "${el[@]}"
  iso_movie "mjpeg" iso/mjpeg_alac.mov mov $v15 $a44 -c:v mjpeg -c:a alac "${ja[@]}"
  iso_movie "h263" iso/h263_aac.3gp 3gp $v15 $a8 -c:v h263 -c:a aac -b:a 24k -ac 1 "${ko[@]}"
  iso_movie "mpeg4" iso/mpeg4_aac.m4v ipod $v25 $a44 -c:v mpeg4 "${aac[@]}" "${el[@]}"
  # Just over an hour of a tiny still stream, for a play time past 60 minutes.
  iso_movie "libx264" iso/long.mp4 mp4 $(video 1 16x16 3665) "${x264[@]}"

  # Matroska and WebM.
  iso_movie "libx265" matroska/hevc_eac3.mkv matroska $v25 $a48 -c:v libx265 -preset ultrafast \
    -x265-params log-level=none -c:a eac3 -b:a 96k "${ja[@]}"
  iso_movie "libx264" matroska/h264_ac3.mkv matroska $v2997 $a48 "${x264[@]}" -c:a ac3 -b:a 192k "${el[@]}"
  iso_movie "libx264" matroska/h264_flac.mkv matroska $v15 $a44 "${x264[@]}" -c:a flac "${ko[@]}"
  iso_movie "libmp3lame" matroska/mpeg4_mp3.mkv matroska $v2398 $a32 -c:v mpeg4 -c:a libmp3lame -b:a 64k \
    -metadata:s:a:0 BPS=64000
  iso_movie "libaom-av1 libopus" matroska/av1_opus.mkv matroska $v10 $a48 -c:v libaom-av1 -cpu-used 8 -row-mt 1 -b:v 50k \
    -c:a libopus -b:a 48k
  iso_movie "libvpx-vp9 libopus" matroska/vp9_opus.webm webm $v25 $a48 -c:v libvpx-vp9 -deadline realtime -cpu-used 8 \
    -b:v 100k -c:a libopus -b:a 64k "${ja[@]}"
  iso_movie "libvpx libvorbis" matroska/vp8_vorbis.webm webm $v2997 $a44 -c:v libvpx -deadline realtime -cpu-used 8 \
    -b:v 100k -c:a libvorbis -b:a 80k
  iso_movie "prores_ks" matroska/prores_pcm.mkv matroska $v2398 $a22 -c:v prores_ks -profile:v 0 -c:a pcm_s16le

  # ASF: Windows Media, and MPEG-4 with MP3 in the same container.
  iso_movie "wmv2" asf/wmv2_wmav2.wmv asf $v25 $a44 -c:v wmv2 -b:v 200k -c:a wmav2 -b:a 64k "${el[@]}"
  iso_movie "libmp3lame" asf/mpeg4_mp3.asf asf $v15 $a22 -c:v mpeg4 -c:a libmp3lame -b:a 32k "${ja[@]}"
  iso_movie "wmav2" asf/audio_only.wma asf $a48 -c:a wmav2 -b:a 128k "${ko[@]}"


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
    # B-frames: the pictures' stamps out of order, the rate from the decode stamps.
    movie ts_h264_bframes.ts mpegts $f2398 $g44 "${x264[@]}" -bf 3 -c:a mp2 -b:a 128k
  else
    for f in flv_h264_aac.flv ts_h264_aac.ts m2ts_h264_ac3.m2ts ts_h264_bframes.ts; do
      skip $f libx264
    done
  fi
  # No metadata: the rate from the tags' millisecond stamps.
  if has_encoder libx264 && [ $have_mp3 = 1 ]; then
    movie flv_h264_mp3_nometa.flv flv $f2398 $g44 "${x264[@]}" -bf 2 "${mp3[@]}" -ac 1 \
      -flvflags no_metadata
  else
    skip flv_h264_mp3_nometa.flv "libx264 or libmp3lame"
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
finish_fixtures
