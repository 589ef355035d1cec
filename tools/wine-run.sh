#!/usr/bin/env bash
# Runs a Windows program under Wine (used as CMake's cross-compiling
# emulator): project prefix, code page 932, a display.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
clip_ensure_display
"$here/wine-prefix.sh"
exe=$1
shift
exec wine64 "$exe" "$@"
