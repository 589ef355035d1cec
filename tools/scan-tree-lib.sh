# Sourced by the benchmarks that scan a tree (bench-scan.sh, bench-cli.sh),
# after $count is set: $tree names a tree of $count small movie files of
# several codecs in nested folders under build/bench-data, which make_tree
# makes once. $kind (default avi) chooses AVI files, or "modern": MP4 and
# MKV files, with their index at the front and at the end.
data=build/bench-data
kind=${kind:-avi}
if [ "$kind" = avi ]; then tree=$data/scan-tree-$count; else tree=$data/scan-tree-$kind-$count; fi

make_templates() {
  local t=$data/scan-templates
  [ -e "$t/.done" ] && return 0
  mkdir -p "$t"
  local B=(-nostdin -hide_banner -loglevel error -y -fflags +bitexact -flags:v +bitexact -flags:a +bitexact)
  local v=(-f lavfi -i "testsrc=size=32x24:rate=10:duration=0.5")
  local a=(-f lavfi -i "sine=sample_rate=8000:duration=0.5")
  ffmpeg "${B[@]}" "${v[@]}" "${a[@]}" -c:v mpeg4 -vtag XVID -q:v 31 -c:a libmp3lame -b:a 8k -ac 1 -f avi "$t/xvid_mp3.avi"
  ffmpeg "${B[@]}" "${v[@]}" "${a[@]}" -c:v msmpeg4 -vtag DIV3 -q:v 31 -c:a adpcm_ms -ac 1 -f avi "$t/div3_adpcm.avi"
  ffmpeg "${B[@]}" "${v[@]}" "${a[@]}" -c:v mjpeg -q:v 31 -pix_fmt yuvj420p -c:a pcm_u8 -ac 1 -f avi "$t/mjpg_pcm.avi"
  ffmpeg "${B[@]}" "${v[@]}" "${a[@]}" -c:v cinepak -c:a adpcm_ima_wav -ac 1 -f avi "$t/cvid_ima.avi"
  ffmpeg "${B[@]}" "${v[@]}" -c:v msmpeg4v2 -q:v 31 -f avi "$t/mp42_only.avi"
  touch "$t/.done"
}

make_modern_templates() {
  local t=$data/scan-templates-modern
  [ -e "$t/.done" ] && return 0
  mkdir -p "$t"
  local B=(-nostdin -hide_banner -loglevel error -y -fflags +bitexact -flags:v +bitexact -flags:a +bitexact)
  local v=(-f lavfi -i "testsrc=size=32x24:rate=10:duration=0.5")
  local a=(-f lavfi -i "sine=sample_rate=8000:duration=0.5")
  local x264=(-c:v libx264 -preset ultrafast -crf 51 -pix_fmt yuv420p)
  ffmpeg "${B[@]}" "${v[@]}" "${a[@]}" "${x264[@]}" -c:a aac -b:a 8k -ac 1 -metadata title=bench -f mp4 "$t/h264_aac.mp4"
  ffmpeg "${B[@]}" "${v[@]}" "${a[@]}" "${x264[@]}" -c:a aac -b:a 8k -ac 1 -movflags +faststart -f mp4 "$t/h264_aac_front.mp4"
  ffmpeg "${B[@]}" "${v[@]}" "${a[@]}" "${x264[@]}" -c:a ac3 -b:a 64k -ac 1 -metadata title=bench -f matroska "$t/h264_ac3.mkv"
  ffmpeg "${B[@]}" "${v[@]}" "${a[@]}" -c:v mpeg4 -q:v 31 -c:a libopus -b:a 8k -ac 1 -f matroska "$t/mpeg4_opus.mkv"
  touch "$t/.done"
}

make_tree() {
  [ -s "$tree.done" ] && return 0
  echo "making $count files under $tree (once)"
  local templates=$data/scan-templates
  if [ "$kind" = avi ]; then make_templates; else make_modern_templates; templates=$templates-modern; fi
  rm -rf "$tree"
  python3 - "$templates" "$tree" "$count" <<'PY'
import os, struct, sys
templates, tree, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
names = sorted(n for n in os.listdir(templates) if not n.startswith('.'))
blobs = [(open(os.path.join(templates, n), 'rb').read(), os.path.splitext(n)[1]) for n in names]
if names[0].endswith('.avi'):
    # One more kind: the first template with a title, creator and comment behind idx1.
    entries = b''
    for cid, text in ((b'ISBJ', b'bench title'), (b'ICOP', b'bench'), (b'ICMT', b'comment text')):
        raw = text + b'\0'
        entries += cid + struct.pack('<I', len(raw)) + raw + (b'\0' if len(raw) & 1 else b'')
    blobs.append((blobs[0][0] + b'LIST' + struct.pack('<I', 4 + len(entries)) + b'INFO' + entries, '.avi'))
# 20 top folders, each with 10 subfolders, some with a deeper level.
n = 0
for i in range(count):
    top, sub = (i // 1000) % 20, (i // 100) % 10
    folder = os.path.join(tree, 'd%02d' % top, 's%d' % sub)
    if i % 3 == 0:
        folder = os.path.join(folder, 'deep')
    os.makedirs(folder, exist_ok=True)
    blob, ending = blobs[i % len(blobs)]
    with open(os.path.join(folder, 'f%05d%s' % (i, ending)), 'wb') as f:
        f.write(blob)
open(tree + '.done', 'w').write('%d\n' % count)
PY
}
