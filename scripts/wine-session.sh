#!/usr/bin/env bash
# Runs a command inside one Wine session: the project's prefix, one Xvfb display (unless a
# display is already there) and one persistent wineserver, both stopped at the end even when
# the command fails. Its exit status is the command's. NETMEND_XVFB_WAIT: how long Xvfb may
# take to start (20 s; the emulated guest on a busy machine needs longer).
#   scripts/wine-session.sh ctest --preset win64
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

xvfb_pid=
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" >/dev/null 2>&1 && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ -z ${DISPLAY:-} || -n ${NETMEND_FORCE_XVFB:-} ]]; then
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp 7>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t "${NETMEND_XVFB_WAIT:-20}" display_number <"$fifo" || { echo "wine-session: Xvfb did not start" >&2; rm -f "$fifo"; exit 1; }
  rm -f "$fifo"
  export DISPLAY=:$display_number
fi

wine_prefix_ensure || { echo "wine-session: could not make the Wine prefix" >&2; exit 1; }
"$WINESERVER" -p >/dev/null 2>&1 </dev/null
"$@"
