#!/usr/bin/env bash
# The native clipledger-cli and the Windows console program under Wine over
# the same movie files give the same list bytes where the platforms agree:
# folder cells ("/" against "Z:\"), volume labels and the names installed
# codecs give (Wine has codecs of its own) are left out by the settings.
# Files of today's containers are named by the parsers' own tables, so
# there the codec columns are compared too.
# A folder of names whose listing order is not their byte order is walked
# by both: the native program lists it as Wine (and NTFS) do.
#   native_and_windows.sh NATIVE_CLI WINDOWS_CLI MOVIE_DIR SAMPLES_DIR [MODERN_DIR [NAME_DIR]]
# Exits 77 (skipped) when the native program has not been built.
set -euo pipefail
native=$1 windows=$2 movies=$3 samples=$4 modern=${5:-} names=${6:-}
[ -x "$native" ] || { echo "native program $native not built: skipped"; exit 77; }
source "$(dirname "$0")/../../../tools/wine-env.sh"
clip_ensure_display

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[Customize]\r\nDirPath=0\r\nVolLabel=0\r\nMoveInfo=0\r\nAudioInfo=0\r\n' >"$work/settings.ini"
wpath() { wine64 winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# What the Windows program (and Wine) said on standard error, shown where
# the lists differ.
errors() { [ -s "$work/windows.err" ] && tail -20 "$work/windows.err"; return 0; }

# Each file named by itself, in one order for both; the nested folder holds
# one movie per level, so its walk order is the same everywhere.
native_args=() windows_args=()
while IFS= read -r f; do
  native_args+=("$f")
  windows_args+=("$(wpath "$f")")
done < <(find "$movies" "$samples" -maxdepth 1 -type f \( -iname '*.avi' -o -iname '*.mpg' -o -iname '*.rm' \) | LC_ALL=C sort)
native_args+=("$movies/sub")
windows_args+=("$(wpath "$movies/sub")")

status=0
for format in csv txt html; do
  for encoding in cp932 utf-8; do
    "$native" --quiet --settings "$work/settings.ini" --format $format --encoding $encoding \
      "${native_args[@]}" >"$work/native.$format" || status=1
    wine64 "$windows" --quiet --settings "$(wpath "$work/settings.ini")" --format $format \
      --encoding $encoding "${windows_args[@]}" >"$work/windows.$format" 2>>"$work/windows.err" || status=1
    if cmp -s "$work/native.$format" "$work/windows.$format"; then
      echo "$format $encoding: same bytes ($(wc -l <"$work/native.$format") lines)"
    else
      echo "$format $encoding: the lists differ"
      errors
      diff <(iconv -f cp932 -t utf-8 "$work/native.$format") \
           <(iconv -f cp932 -t utf-8 "$work/windows.$format") | head -20 || true
      status=1
    fi
  done
done

# Today's containers (made by the native suite, when it ran first).
if [ -n "$modern" ] && [ -d "$modern" ]; then
  printf '[Customize]\r\nDirPath=0\r\nVolLabel=0\r\n' >"$work/modern.ini"
  native_args=() windows_args=()
  while IFS= read -r f; do
    native_args+=("$f")
    windows_args+=("$(wpath "$f")")
  done < <(find "$modern" -type f \( -iname '*.mp4' -o -iname '*.m4v' -o -iname '*.mov' \
             -o -iname '*.3gp' -o -iname '*.mkv' -o -iname '*.webm' -o -iname '*.wmv' \
             -o -iname '*.asf' -o -iname '*.flv' -o -iname '*.ts' -o -iname '*.m2ts' \
             -o -iname '*.mts' -o -iname '*.mpeg' -o -iname '*.vob' -o -iname '*.mpg' \) | LC_ALL=C sort)
  "$native" --quiet --settings "$work/modern.ini" --format csv --encoding utf-8 \
    "${native_args[@]}" >"$work/native.modern" || status=1
  wine64 "$windows" --quiet --settings "$(wpath "$work/modern.ini")" --format csv \
    --encoding utf-8 "${windows_args[@]}" >"$work/windows.modern" 2>>"$work/windows.err" || status=1
  if cmp -s "$work/native.modern" "$work/windows.modern"; then
    echo "today's containers: same bytes ($(wc -l <"$work/native.modern") lines)"
  else
    echo "today's containers: the lists differ"
    errors
    diff "$work/native.modern" "$work/windows.modern" | head -20 || true
    status=1
  fi
fi

# The folder walk's order: the names folder with names code page 932 lacks
# (Latin letters whose capitals lie elsewhere, a character of two UTF-16
# units); UTF-8 lists.
if [ -n "$names" ] && [ -d "$names" ]; then
  cp -r "$names" "$work/names"
  for name in é.mpg ÿ.mpg Ā.mpg µ.mpg 𠀋.mpg; do cp "$samples/mpeg1.mpg" "$work/names/$name"; done
  "$native" --quiet --settings "$work/settings.ini" --encoding utf-8 "$work/names" >"$work/native.names" ||
    status=1
  wine64 "$windows" --quiet --settings "$(wpath "$work/settings.ini")" --encoding utf-8 \
    "$(wpath "$work/names")" >"$work/windows.names" 2>>"$work/windows.err" || status=1
  if cmp -s "$work/native.names" "$work/windows.names"; then
    echo "folder order: same bytes ($(wc -l <"$work/native.names") lines)"
  else
    echo "folder order: the lists differ"
    errors
    diff <(cut -d, -f1 "$work/native.names") <(cut -d, -f1 "$work/windows.names") || true
    status=1
  fi
fi
exit $status
