#!/usr/bin/env bash
# xvfb-wine.sh WORKDIR PROGRAM [ARGS...]: the program under Wine in WORKDIR/run (prefix WORKDIR/wineprefix),
# in a virtual X display of its own (on $DISPLAY with HX_DESKTOP=1), for at most HX_TIMEOUT seconds (0: no
# limit). Xvfb (by its id) and the wineserver are stopped at the end.
set -u
mkdir -p "$1/run"
workdir=$(cd "$1" && pwd) program=$(realpath "$2")
shift 2
export WINEPREFIX="$workdir/wineprefix" WINEDEBUG="${HX_WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
xvfb=""
trap 'wineserver -k >/dev/null 2>&1; [ -n "$xvfb" ] && { kill "$xvfb"; wait "$xvfb"; } 2>/dev/null' EXIT
trap 'exit 130' INT TERM
if [ "${HX_DESKTOP:-0}" != 1 ]; then
  rm -f "$workdir/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$workdir/display" 2>"$workdir/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$workdir/display" ] && break; sleep 0.1; done
  [ -s "$workdir/display" ] || { echo "xvfb-wine: no virtual display could be started" >&2; exit 1; }
  export DISPLAY=":$(cat "$workdir/display")"
  echo "Running on the virtual display $DISPLAY"
  # With no window manager Wine waits on each closing window for one; unmanaged windows need no answer.
  timeout 120 wineboot -i >/dev/null 2>&1
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
fi
cd "$workdir/run"
timeout "${HX_TIMEOUT:-600}" wine "$program" "$@"
