#!/usr/bin/env bash
# Installs only what is missing for building, running and testing:
#   tools/setup.sh          everything (the Windows build, Wine, fixtures)
#   tools/setup.sh native   the native build and its suite only
#   tools/setup.sh cli      the optimised command line alone (make cli)
#   tools/setup.sh bench    what the benchmarks need besides (libfuse3 for the
#                           slow file system of tools/bench-latency.sh)
# Safe to run again: a second run checks and returns in a second or two.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
mode=${1:-all}
if [ "$mode" = cli ]; then
  packages=(cmake g++ make)
elif [ "$mode" = bench ]; then
  packages=(libfuse3-dev fuse3 pkg-config)
else
  packages=(cmake g++ make googletest libgtest-dev ffmpeg python3)
fi
if [ "$mode" = all ]; then
  # Wine's own fonts (fonts-wine) hold Marlett, which draws the caption
  # buttons; the IPA fonts stand in for the program's Japanese faces.
  packages+=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64 fonts-wine xvfb xauth locales
             fonts-ipafont-gothic fonts-ipafont-mincho fonts-wqy-microhei clang imagemagick
             zip unzip dpkg-dev)
fi
for p in "${packages[@]}"; do
  have_pkg "$p" || need+=("$p")
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

[ "$mode" != all ] && exit 0

# The ANSI code page of the program is 932; Wine derives it from the locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  echo "setup: generating ja_JP.UTF-8"
  if [ -f /etc/locale.gen ]; then
    $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
  else
    $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
fi

# MinGW's POSIX thread model is needed for std::thread-free code too (gtest wants it).
if command -v update-alternatives >/dev/null && [ -e /usr/bin/x86_64-w64-mingw32-g++-posix ]; then
  cur=$(readlink -f /usr/bin/x86_64-w64-mingw32-g++ || true)
  case "$cur" in *posix*) ;; *) $SUDO update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix >/dev/null
                                  $SUDO update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix >/dev/null ;; esac
fi
exit 0
