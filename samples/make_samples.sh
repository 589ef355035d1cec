#!/usr/bin/env bash
# Remakes the sample movies opened by `make run`: tiny (64x48, one second,
# low bit rate) files made with ffmpeg. titled.avi carries a LIST INFO with
# a title, creator and comment behind its idx1 chunk, laid out as the
# program's own INFO writer lays it out.
#   samples/make_samples.sh   (run from anywhere; overwrites the samples)
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p sub
B=(-nostdin -hide_banner -loglevel error -y -fflags +bitexact -flags:v +bitexact -flags:a +bitexact)
src() { echo -f lavfi -i "testsrc=size=64x48:rate=$1:duration=1"; }
tone() { echo -f lavfi -i "sine=frequency=440:sample_rate=$1:duration=1"; }
# shellcheck disable=SC2046
{
  ffmpeg "${B[@]}" $(src 15) $(tone 22050) -c:v mpeg4 -vtag XVID -q:v 25 \
    -c:a libmp3lame -b:a 32k -ac 1 -f avi xvid_mp3.avi
  ffmpeg "${B[@]}" $(src 10) $(tone 8000) -c:v msmpeg4 -vtag DIV3 -q:v 25 \
    -c:a adpcm_ms -ac 1 -f avi titled.avi
  ffmpeg "${B[@]}" $(src 25) $(tone 32000) -c:v mpeg1video -q:v 25 \
    -c:a mp2 -b:a 32k -f mpeg mpeg1.mpg
  ffmpeg "${B[@]}" $(src 10) $(tone 8000) -c:v rv10 -q:v 25 \
    -c:a real_144 -ac 1 -f rm real.rm
  ffmpeg "${B[@]}" $(src 15) -c:v mpeg4 -vtag XVID -q:v 25 -f avi sub/video_only.avi
}
python3 - titled.avi <<'PY'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
# The end of the idx1 chunk's data inside RIFF AVI.
pos = 12
end = None
while pos + 8 <= len(data):
    cid, size = data[pos:pos + 4], struct.unpack('<I', data[pos + 4:pos + 8])[0]
    if cid == b'idx1':
        end = pos + 8 + size
        break
    pos += 8 + size + (size & 1)
assert end is not None, 'no idx1'
entries = b''
for cid, text in ((b'ISBJ', 'サンプル動画'), (b'ICOP', 'Clipledger'), (b'ICMT', 'ソフトの見本です')):
    raw = text.encode('cp932') + b'\0'
    entries += cid + struct.pack('<I', len(raw)) + raw + (b'\0' if len(raw) & 1 else b'')
info = b'LIST' + struct.pack('<I', 4 + len(entries)) + b'INFO' + entries
data[end:end + len(info)] = info
open(path, 'wb').write(data)
PY
