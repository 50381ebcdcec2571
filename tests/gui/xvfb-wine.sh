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

. "$(dirname "$0")/xvfb-lib.sh"
watcher_pid=""
cleanup() {
  [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null
  stop_wine_and_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! start_xvfb "$workdir/xvfb.log"; then
  echo "xvfb-wine: no free X display could be started" >&2
  exit 1
fi

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

prepare_wine 120
cd "$workdir/run"
timeout 600 wine "$program" "$@"
