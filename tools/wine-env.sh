# Sourced by the Wine helpers: the project's own prefix (never ~/.wine),
# code page 932 through the Japanese locale, and a display.
CLIP_ROOT=${CLIP_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${CLIP_WINEPREFIX:-$CLIP_ROOT/build/wineprefix}
export WINEARCH=win64
case ":$PATH:" in *:/usr/lib/wine:*) ;; *) export PATH="$PATH:/usr/lib/wine" ;; esac
export WINEDEBUG=${WINEDEBUG:--all}
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Wine's common controls need an X display: use the caller's, else a
# private Xvfb that stays up for later runs. A display counts as alive when
# the process named in its lock file runs; sockets and locks left behind by
# an ended session are cleared.
clip_display_alive() {
  local n=${1#:}
  n=${n%%.*}
  local lock=/tmp/.X$n-lock
  [ -f "$lock" ] && kill -0 "$(tr -d ' \n' <"$lock")" 2>/dev/null
}
clip_ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then
    case "$DISPLAY" in
      :*) clip_display_alive "$DISPLAY" && return 0 ;;
      *) return 0 ;;  # a remote or forwarded display: trust the caller
    esac
  fi
  export DISPLAY=:${CLIP_XVFB_DISPLAY:-87}
  local n=${DISPLAY#:}
  if ! clip_display_alive "$DISPLAY"; then
    rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
    (Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &)
    for _ in $(seq 1 100); do
      clip_display_alive "$DISPLAY" && [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
  fi
}
