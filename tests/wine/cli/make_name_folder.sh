#!/usr/bin/env bash
# A folder of one movie under names in mixed case, digits, "_", brackets,
# Greek, Cyrillic, kana and kanji (all in code page 932), and two
# subfolders, made in an order unlike any listing order:
#   make_name_folder.sh DEST MOVIE
set -euo pipefail
dest=$1 movie=$2
rm -rf "$dest"
mkdir -p "$dest/sub_B" "$dest/Sub_a"
for name in ｱ.mpg 9.mpg 漢字.mpg _a.mpg Z.mpg ア.mpg abc.mpg ω.mpg [x].mpg 10.mpg あ.mpg \
            я.mpg ABD.mpg ａ.mpg b.mpg sub_B/y.mpg Sub_a/x.mpg; do
  cp "$movie" "$dest/$name"
done
