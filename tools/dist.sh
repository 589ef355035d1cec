#!/usr/bin/env bash
# The release files, from the Windows build (build/win) and the optimised
# command line (build/release), into build/dist:
#   clipledger-VERSION-win64.zip     clipledger.exe, clipledger-cli.exe,
#                                    README.txt, LICENSE.txt and notices/
#   clipledger-cli_VERSION_ARCH.deb  the command line and its manual page
# VERSION is the one the program shows (base/version.h). The zip holds
# the same bytes on every run from the same commit: names sorted, times
# those of the last commit, no owners.
set -euo pipefail
cd "$(dirname "$0")/.."
win=build/win release=build/release dist=build/dist
for f in "$win/app/clipledger.exe" "$win/cli/clipledger-cli.exe" "$release/cli/clipledger-cli"; do
  [ -e "$f" ] || { echo "dist: $f is not built (make win cli)"; exit 1; }
done
version=$("$release/cli/clipledger-cli" --version)
version=${version#clipledger-cli }
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
# strip stamps the programs' headers with this time too.
export SOURCE_DATE_EPOCH=$stamp

rm -rf "$dist"
mkdir -p "$dist"
top=clipledger-$version
stage=$dist/stage/$top
mkdir -p "$stage/notices"

# Windows texts: CRLF, and UTF-8 with a byte-order mark, so that every
# Notepad reads the Japanese.
windows_text() { { printf '\xef\xbb\xbf'; sed -e 's/\r$//' -e 's/$/\r/' "$1"; } >"$2"; }

x86_64-w64-mingw32-strip -o "$stage/clipledger.exe" "$win/app/clipledger.exe"
x86_64-w64-mingw32-strip -o "$stage/clipledger-cli.exe" "$win/cli/clipledger-cli.exe"
sed "s/@VERSION@/$version/" docs/windows-readme.txt >"$dist/stage/README.txt"
windows_text "$dist/stage/README.txt" "$stage/README.txt"
windows_text LICENSE "$stage/LICENSE.txt"

# The notices of what the programs link statically, as Debian ships them
# with the MinGW packages: the copyright file of each library's package.
# The libraries of one notice must have the same text (libstdc++ and libgcc
# come from two packages of one source).
copyright_of() {
  local path pkg
  path=$(readlink -f "$(x86_64-w64-mingw32-g++ -print-file-name="$1")")
  pkg=$(dpkg -S "$path" 2>/dev/null | head -1 | cut -d: -f1)
  [ -n "$pkg" ] && [ -f "/usr/share/doc/$pkg/copyright" ] ||
    { echo "dist: no Debian copyright file for $path" >&2; return 1; }
  echo "/usr/share/doc/$pkg/copyright"
}
notice() {  # notice NAME LIBRARY...
  local name=$1 first other
  shift
  first=$(copyright_of "$1")
  for lib in "$@"; do
    other=$(copyright_of "$lib")
    cmp -s "$first" "$other" || { echo "dist: $other differs from $first: give $lib its own notice"; exit 1; }
  done
  windows_text "$first" "$stage/notices/$name.txt"
}
notice gcc-runtime-libstdc++-libgcc libstdc++.a libgcc.a libgcc_eh.a
notice mingw-w64-runtime-winpthreads crt2.o libmingw32.a libmingwex.a libmsvcrt.a libwinpthread.a

find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
chmod 755 "$stage"/*.exe
find "$stage" -exec touch -h -d "@$stamp" {} +
zip_name=clipledger-$version-win64.zip
(cd "$dist/stage" && find "$top" | LC_ALL=C sort | TZ=UTC zip -q -X -9 -@ "../$zip_name")

# The Debian package: cpack installs the optimised build into a scratch
# root and asks dpkg-shlibdeps what it depends on.
mkdir -p "$release/package"
cpack --config "$release/CPackConfig.cmake" -B "$release/package" >"$release/package/cpack.log" 2>&1 ||
  { cat "$release/package/cpack.log"; exit 1; }
deb=$(ls "$release"/package/clipledger-cli_"$version"_*.deb)
cp "$deb" "$dist/"
rm -rf "$dist/stage" "$release/package/_CPack_Packages"

for f in "$dist/$zip_name" "$dist/$(basename "$deb")"; do
  echo "dist: $f ($(stat -c %s "$f") bytes)"
done
