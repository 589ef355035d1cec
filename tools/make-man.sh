#!/usr/bin/env bash
# The manual page of clipledger-cli, made from its --help and --version:
#   make-man.sh PROGRAM >clipledger-cli.1
# The first line of the help gives the synopsis, the paragraph after it the
# description, the "  -x, --long VALUE   text" lines the options (an
# indented line goes on with the text above it), and a paragraph that
# starts "Exit status:" its own section. No date is written, so the page is
# the same bytes on every build.
set -euo pipefail
program=$1
help=$("$program" --help)
version=$("$program" --version)
name=${version%% *}

LC_ALL=C awk -v name="$name" -v version="$version" '
  function esc(s) {
    gsub(/\\/, "\\e", s)
    gsub(/-/, "\\-", s)
    if (s ~ /^[.'\'']/) s = "\\&" s
    return s
  }
  function flush_option() {
    if (tag == "") return
    print ".TP"
    print ".B " esc(tag)
    if (text != "") print esc(text)
    tag = ""; text = ""
  }
  BEGIN { section = "synopsis" }
  NR == 1 {
    sub(/^[Uu]sage: */, "")
    prog = $1; sub(/^[^ ]+ */, "")
    upper = toupper(name)
    printf ".TH %s 1 \"\" \"%s\" \"User Commands\"\n", esc(upper), esc(version)
    # NAME: the first sentence of the description, found below.
    synopsis = $0
    next
  }
  section == "synopsis" {
    if ($0 == "") { section = "body"; started = 0; next }
    description = description (description == "" ? "" : " ") $0
    next
  }
  !printed_head {
    first = description
    sub(/\. .*/, "", first); sub(/\.$/, "", first)
    first = tolower(substr(first, 1, 1)) substr(first, 2)
    print ".SH NAME"
    print esc(name) " \\- " esc(first)
    print ".SH SYNOPSIS"
    print ".B " esc(prog)
    print esc(synopsis)
    print ".SH DESCRIPTION"
    print esc(description)
    printed_head = 1
  }
  /^  +-/ {
    flush_option()
    if (!in_options) { print ".SH OPTIONS"; in_options = 1 }
    line = $0; sub(/^ +/, "", line)
    if (match(line, /  +/)) {
      tag = substr(line, 1, RSTART - 1); text = substr(line, RSTART + RLENGTH)
    } else {
      tag = line; text = ""
    }
    next
  }
  /^     +/ && tag != "" {
    line = $0; sub(/^ +/, "", line)
    text = text (text == "" ? "" : " ") line
    next
  }
  $0 == "" { flush_option(); paragraph = 1; next }
  {
    flush_option()
    line = $0
    if (line ~ /^Exit status: */) {
      print ".SH \"EXIT STATUS\""
      sub(/^Exit status: */, "", line)
    } else if (line ~ /^Category keys/) {
      print ".SH CATEGORIES"
    } else if (paragraph) {
      print ".PP"
    }
    paragraph = 0
    print esc(line)
  }
  END { flush_option() }
' <<<"$help"
