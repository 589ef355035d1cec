#!/usr/bin/env bash
# Makes the Linux-side tree of the Win32 scan tests: links that Wine shows as
# plain folders, one back to an ancestor and one to the tree itself.
#   make_loop_tree.sh DIR SAMPLES
set -euo pipefail
dir=${1:?usage: make_loop_tree.sh DIR SAMPLES}
samples=${2:?usage: make_loop_tree.sh DIR SAMPLES}
rm -rf "$dir"
mkdir -p "$dir/S/T"
cp "$samples/xvid_mp3.avi" "$dir/a.avi"
cp "$samples/mpeg1.mpg" "$dir/S/s.mpg"
cp "$samples/real.rm" "$dir/S/T/t.rm"
ln -s .. "$dir/S/up"
ln -s ../.. "$dir/S/T/top"
ln -s "$dir" "$dir/S/again"
