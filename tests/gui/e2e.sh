#!/usr/bin/env bash
# The desktop program driven end to end under Wine in a virtual display.
#   e2e.sh WORKDIR DRIVER GUI HARVEX [SCENARIO]
# Screenshots land in WORKDIR/screenshots.
set -u
here=$(cd "$(dirname "$0")" && pwd)
workdir=$1 driver=$(realpath "$2") gui=$(realpath "$3") harvex=$(realpath "$4")
shift 4
. "$here/xvfb-lib.sh"
bash "$here/xvfb-wine.sh" "$workdir" "$driver" --gui "$(windows_path "$gui")" --harvex "$(windows_path "$harvex")" "$@"
rc=$?
ls "$workdir/screenshots" 2>/dev/null | sed 's/^/screenshot: /'
exit $rc
