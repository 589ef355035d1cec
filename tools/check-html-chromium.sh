#!/usr/bin/env bash
# Manual check of the HTML writer in a real browser: writes a sample page
# (Japanese texts, a title that looks like a script element) and opens it in
# headless Chromium, which saves a screenshot and the decoded page text.
# Installs Debian's chromium package when it is missing. Not part of `make test`.
#   tools/check-html-chromium.sh [output-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/html-check}")
mkdir -p "$out"

if ! command -v chromium >/dev/null 2>&1; then
  apt-get update -qq && apt-get install -y -qq chromium >/dev/null
fi

cmake -S . -B build/html-check-build -DCLIP_BENCH=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/html-check-build -j2 --target listfile_html_sample >/dev/null
build/html-check-build/tests/bench/listfile/listfile_html_sample "$out/sample.htm"

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
flags=(--headless --no-sandbox --disable-gpu --disable-background-networking
  --disable-component-update --disable-sync --no-first-run --user-data-dir="$profile")
chromium "${flags[@]}" --window-size=900,400 --screenshot="$out/sample.png" \
  "file://$out/sample.htm" >/dev/null 2>&1
chromium "${flags[@]}" --dump-dom "file://$out/sample.htm" 2>/dev/null >"$out/sample.dom.html"

status=0
check() {
  if grep -qF -- "$2" "$out/sample.dom.html"; then
    echo "ok   $1"
  else
    echo "FAIL $1"
    status=1
  fi
}
check "Japanese heading decoded" "私の映画リスト"
check "Japanese header cell decoded" "ファイル名"
check "half-width katakana decoded" "半角ｶﾀｶﾅ"
check "title with a 0x5C trail byte decoded" "ソフトウェア表示"
check "markup in a title shown as text" "&lt;script&gt;alert(1)&lt;/script&gt;"
check "page caption decoded" "<title>映画の一覧</title>"
check "Hangul and emoji through references" "한국영화😀.mp4"
check "Latin, Greek and a supplementary kanji through references" "Amélie Ω"
check "a supplementary kanji" "𠮷野家"
if grep -q "<script>" "$out/sample.dom.html"; then
  echo "FAIL a script element reached the page"
  status=1
fi
echo "screenshot: $out/sample.png"
exit $status
