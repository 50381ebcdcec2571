#!/usr/bin/env bash
# The desktop program under Wine for a person to try (make gui): try-gui.sh BUILD_DIR SESSION_DIR.
# It starts in SESSION_DIR/run, next to sample recordings: on $DISPLAY when set, else (or with HX_XVFB=1) on
# a virtual display whose number it prints; `import -display :N -window root x.png` photographs it and
# `x11vnc -display :N` shows it live. End it with Exit or Ctrl+C.
set -u
build=$(cd "$1" && pwd) here=$(cd "$(dirname "$0")/../tests/gui" && pwd)
mkdir -p "$2/run" && cd "$2/run"
export WINEPREFIX="$PWD/../wineprefix" WINEDEBUG=-all
[ -e ALARMS.ALM ] || timeout 120 wine "$build/harvex_samples.exe" . >/dev/null 2>&1
cp -f "$build/wHarvex.htm" .
echo "Starting in $PWD, next to $(ls *.DC* *.ALM | tr '\n' ' ')"
[ -n "${DISPLAY:-}" ] && [ "${HX_XVFB:-0}" != 1 ] && export HX_DESKTOP=1
HX_TIMEOUT=0 exec bash "$here/xvfb-wine.sh" .. "$build/HarvexUtility.exe"
