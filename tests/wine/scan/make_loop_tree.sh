#!/usr/bin/env bash
# Makes the Linux-side trees of the Win32 scan tests under DIR:
#   loop/  links that Wine shows as plain folders, one back to an ancestor
#          and one to the tree itself
#   long/  names that make paths longer than the ANSI calls accept
#   make_loop_tree.sh DIR SAMPLES
set -euo pipefail
dir=${1:?usage: make_loop_tree.sh DIR SAMPLES}
samples=${2:?usage: make_loop_tree.sh DIR SAMPLES}
rm -rf "$dir"
loop=$dir/loop
mkdir -p "$loop/S/T"
cp "$samples/xvid_mp3.avi" "$loop/a.avi"
cp "$samples/mpeg1.mpg" "$loop/S/s.mpg"
cp "$samples/real.rm" "$loop/S/T/t.rm"
ln -s .. "$loop/S/up"
ln -s ../.. "$loop/S/T/top"
ln -s "$loop" "$loop/S/again"

a=$(printf 'a%.0s' $(seq 120))
b=$(printf 'b%.0s' $(seq 120))
c=$(printf 'c%.0s' $(seq 130))
mkdir -p "$dir/long/$a/$b"
cp "$samples/real.rm" "$dir/long/short.rm"
cp "$samples/real.rm" "$dir/long/$a/$c.rm"
cp "$samples/real.rm" "$dir/long/$a/$b/deep.rm"
