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
# private Xvfb that stays up for later runs.
clip_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  if [ -n "${DISPLAY:-}" ] && [ -z "$(command -v xdpyinfo)" ] && [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ]; then return 0; fi
  export DISPLAY=:${CLIP_XVFB_DISPLAY:-87}
  if [ ! -e "/tmp/.X11-unix/X${DISPLAY#:}" ]; then
    rm -f "/tmp/.X${DISPLAY#:}-lock"
    (Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &)
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
  fi
}
