#!/usr/bin/env bash
# Runs a Windows program under Wine in a virtual X display of its own.
#   xvfb-wine.sh WORKDIR PROGRAM [ARGS...]
# WORKDIR gets a fresh Wine prefix, the screenshots (WORKDIR/screenshots)
# and is the program's current directory. The program may ask for a
# screenshot by creating HX_SNAP_DIR\NAME.request; the picture is taken and
# NAME.done appears. Xvfb and the wineserver this run started are always
# stopped, by their ids.
set -u
workdir=$1
shift
program=$(realpath "$1")
shift

case "$workdir" in
  ""|/|.|..) echo "xvfb-wine: give a work directory of the run's own" >&2; exit 2 ;;
esac
rm -rf "$workdir"
mkdir -p "$workdir/screenshots" "$workdir/snaps" "$workdir/run"
workdir=$(cd "$workdir" && pwd)
export WINEPREFIX="$workdir/wineprefix"
export WINEDEBUG="${HX_WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
watcher_pid=""
cleanup() {
  [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null
  wineserver -k >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A free display: no lock file and no socket.
display=""
for n in $(seq 91 160); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$workdir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
      display=":$n"
      break
    fi
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  fi
done
if [ -z "$display" ]; then
  echo "xvfb-wine: no free X display could be started" >&2
  exit 1
fi
export DISPLAY=$display

# Windows form of a path of the Unix side: Wine's drive Z: is the root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
export HX_SNAP_DIR
HX_SNAP_DIR=$(windows_path "$workdir/snaps")

(
  while sleep 0.2; do
    for request in "$workdir"/snaps/*.request; do
      [ -e "$request" ] || continue
      name=$(basename "$request" .request)
      timeout 20 import -display "$DISPLAY" -window root "$workdir/screenshots/$name.png" 2>/dev/null
      mv "$request" "$workdir/snaps/$name.done"
    done
  done
) &
watcher_pid=$!

# Making the prefix takes a while the first time; a bound keeps a stuck
# Wine from holding the test forever.
timeout 120 wineboot -i >/dev/null 2>&1
# With no window manager, Wine waits two seconds on each closing window for
# one to answer; unmanaged windows need no answer.
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
cd "$workdir/run"
timeout 600 wine "$program" "$@"
rc=$?
exit $rc
