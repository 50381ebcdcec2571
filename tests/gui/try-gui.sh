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

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ] || [ "${HX_XVFB:-0}" = 1 ]; then
  for n in $(seq 91 160); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$session/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      break
    fi
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  done
  if [ -z "$xvfb_pid" ]; then
    echo "try-gui: no virtual display could be started" >&2
    exit 1
  fi
  echo "Harvex Utility runs on the virtual display $DISPLAY (1024x768)."
  echo "  picture:  import -display $DISPLAY -window root screen.png"
  echo "  live:     x11vnc -display $DISPLAY  (then a VNC viewer)"
  # No window manager there: windows need no answer from one.
  timeout 60 wineboot -i >/dev/null 2>&1
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
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
