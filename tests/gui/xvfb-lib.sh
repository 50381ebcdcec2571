# Sourced by the scripts that run the desktop program under Wine in a
# virtual display of their own.

xvfb_pid=""

# Starts Xvfb on a free display (no lock file, no socket) and exports
# DISPLAY; false when none could be started. Its log goes to $1.
start_xvfb() {
  local n
  for n in $(seq 91 160); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$1" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  done
  return 1
}

# Stops the wineserver of $WINEPREFIX and the Xvfb started above, by its id.
stop_wine_and_xvfb() {
  wineserver -k >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}

# Makes the prefix (slow the first time; bounded so a stuck Wine cannot hold
# the run). With no window manager, Wine waits two seconds on each closing
# window for one to answer; unmanaged windows need no answer.
prepare_wine() {
  timeout "${1:-120}" wineboot -i >/dev/null 2>&1
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
}

# Windows form of a path of the Unix side: Wine's drive Z: is the root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
