#!/usr/bin/env bash
# Checks the release files `make dist` wrote (build/dist): the Debian
# package unpacked into a scratch root (dpkg -x) runs, names its version
# and holds its manual page, declares what it depends on and writes the
# same list as the test build; the Windows zip holds what a user needs,
# and its console program runs under Wine. Ends with one line:
#   release: N passed, M failed
set -uo pipefail
cd "$(dirname "$0")/.."
dist=build/dist
passed=0 failed=0
check() {  # check NAME COMMAND...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1)); echo "ok      $name"
  else
    failed=$((failed + 1)); echo "FAILED  $name"
  fi
}
version=$(sed -nE 's/.*kVersionNumber = "([^"]+)".*/\1/p' base/version.h)
deb=$(ls "$dist"/clipledger-cli_"$version"_*.deb 2>/dev/null | head -1)
zip=$dist/clipledger-$version-win64.zip
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

check "the Debian package and the zip are there" test -f "$deb" -a -f "$zip"
dpkg -x "$deb" "$root/deb" 2>/dev/null
check "the packaged program names its version" \
  test "$("$root/deb/usr/bin/clipledger-cli" --version 2>&1)" = "clipledger-cli $version"
check "the manual page is installed" \
  bash -c "zcat '$root/deb/usr/share/man/man1/clipledger-cli.1.gz' | grep -q '^\.SH OPTIONS'"
check "the licence is installed" test -s "$root/deb/usr/share/doc/clipledger-cli/copyright"
check "the package declares its libraries" \
  bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libc6 (>= ' && dpkg-deb -f '$deb' Depends | grep -q 'libstdc++6'"
if [ -x build/native/cli/clipledger-cli ]; then
  same_list() {
    cmp -s <("$root/deb/usr/bin/clipledger-cli" --quiet samples) \
           <(build/native/cli/clipledger-cli --quiet samples)
  }
  check "the packaged program writes the test build's list" same_list
fi

unzip -q "$zip" -d "$root/zip" 2>/dev/null
top=$root/zip/clipledger-$version
for f in clipledger.exe clipledger-cli.exe README.txt LICENSE.txt; do
  check "the zip holds $f" test -s "$top/$f"
done
check "the zip holds the runtime notices" \
  bash -c "ls '$top'/notices/*.txt >/dev/null && grep -q 'RUNTIME LIBRARY EXCEPTION' '$top'/notices/*.txt"
check "README.txt has a byte-order mark and CRLF lines" \
  bash -c "head -c3 '$top/README.txt' | od -An -tx1 | grep -q 'ef bb bf' && ! grep -qv \$'\r\$' '$top/README.txt'"
if command -v wine64 >/dev/null 2>&1 || [ -x /usr/lib/wine/wine64 ]; then
  source tools/wine-env.sh
  clip_ensure_display
  check "the zipped console program names its version under Wine" \
    test "$(wine64 "$top/clipledger-cli.exe" --version 2>/dev/null | tr -d '\r')" = "clipledger-cli $version"
fi
echo "release: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
