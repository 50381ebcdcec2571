#!/usr/bin/env bash
# Starts the desktop program under Wine for a person to try (make gui).
#   try-gui.sh BUILD_DIR SESSION_DIR
# The program starts in SESSION_DIR/run, next to sample recordings. With a
# desktop ($DISPLAY set) it opens there; otherwise (or with HX_XVFB=1) in a
# virtual display of its own, which `import -display :N -window root x.png`
# photographs and a VNC server (x11vnc -display :N) can show. The program
# runs until it is ended with Exit or Ctrl+C here.
set -u
build=$(cd "$1" && pwd)
session=$2
mkdir -p "$session/run"
session=$(cd "$session" && pwd)
export WINEPREFIX="$session/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

. "$(dirname "$0")/xvfb-lib.sh"
trap stop_wine_and_xvfb EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ] || [ "${HX_XVFB:-0}" = 1 ]; then
  if ! start_xvfb "$session/xvfb.log"; then
    echo "try-gui: no virtual display could be started" >&2
    exit 1
  fi
  echo "Harvex Utility runs on the virtual display $DISPLAY (1024x768)."
  echo "  picture:  import -display $DISPLAY -window root screen.png"
  echo "  live:     x11vnc -display $DISPLAY  (then a VNC viewer)"
  prepare_wine 60
fi

# Sample recordings to open with "&Export".
if [ ! -e "$session/run/ALARMS.ALM" ]; then
  (cd "$session" && timeout 120 wine "$build/harvex_samples.exe" run >/dev/null 2>&1)
fi
cp -f "$build/wHarvex.htm" "$session/run/" 2>/dev/null
echo "Starting in $session/run (recordings: $(cd "$session/run" && ls *.DC* *.ALM 2>/dev/null | tr '\n' ' '))"
echo "End it with Exit (Alt+X) or Ctrl+C here."
cd "$session/run"
wine "$build/HarvexUtility.exe"
echo "Harvex Utility ended with $?"
