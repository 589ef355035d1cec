# Sourced by the fixture scripts (make_movie_fixtures.sh,
# make_modern_fixtures.sh): the output folder from $1, the "nothing to do"
# check, movie() to make one file, the test inputs, and finish_fixtures to
# record what was made and exit.
me=$(basename "$0" .sh)
out=${1:?usage: $me.sh OUTDIR}
mkdir -p "$out"

# A finished run leaves the list of what it made; when this script has not
# changed since and every listed file is still there, there is nothing to do.
stamp="$out/.made"
if [ -s "$stamp" ] && [ "$stamp" -nt "$0" ] && [ "$stamp" -nt "${BASH_SOURCE[0]}" ]; then
  complete=1
  while IFS= read -r f; do [ -s "$out/$f" ] || { complete=0; break; }; done <"$stamp"
  [ $complete = 1 ] && exit 0
fi
command -v ffmpeg >/dev/null || { echo "$me: ffmpeg not found" >&2; exit 1; }

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
  # The part name ends in no movie extension, so a scan of the folder while
  # another run is writing never sees a half-made movie file.
  tmp="$(dirname "$target")/.tmp.$$.$(basename "$target").part"
  if ffmpeg -nostdin -hide_banner -loglevel error -y "$@" \
      -fflags +bitexact -flags:v +bitexact -flags:a +bitexact -f "$format" "$tmp"; then
    # The first run to finish wins and later runs leave its file alone:
    # some encoders (libvpx in real time) give other bytes each run.
    ln "$tmp" "$target" 2>/dev/null || [ -s "$target" ] || mv -f "$tmp" "$target"
    rm -f "$tmp"
  else
    rm -f "$tmp"
    echo "$me: could not make $name" >&2
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
skip() { echo "$me: skipped $1 ($2 missing)" >&2; }

finish_fixtures() {
  if [ $failed = 0 ]; then
    printf '%s\n' "${made[@]}" >"$stamp.$$" && mv -f "$stamp.$$" "$stamp"
  fi
  exit $failed
}
