#!/usr/bin/env bash
# Runs the repair end-to-end test program in a throwaway copy of the project's Wine prefix:
# the test replaces system tools there, which must never happen in the shared prefix. The copy
# gets its own wineserver and is removed afterwards.
#   tests/app/win/repair_e2e.sh <repair_e2e_tests.exe> [gtest arguments…]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
source "$root/scripts/wine-env.sh"
if [[ -z ${DISPLAY:-} ]]; then
  exec "$root/scripts/wine-session.sh" "${BASH_SOURCE[0]}" "$@"
fi
wine_prefix_ensure || exit 1

program=$1
shift
throwaway=$(cd "$(dirname "$program")" && pwd)/repair-e2e-prefix
stop_server() { WINEPREFIX=$throwaway "$WINESERVER" -k >/dev/null 2>&1; }
[[ -d $throwaway ]] && stop_server
mountpoint -q "$throwaway" 2>/dev/null && umount "$throwaway"
rm -rf "$throwaway"
if [[ -n ${NETMEND_GUEST:-} ]]; then
  # In the emulated guest a copy of the prefix would be written out file by file under the
  # software CPU: a layer over it in memory serves as well.
  layers=$(mktemp -d)
  mkdir -p "$layers/upper" "$layers/work" "$throwaway"
  mount -t overlay overlay -o "lowerdir=$WINEPREFIX,upperdir=$layers/upper,workdir=$layers/work" "$throwaway" ||
    exit 1
else
  cp -a "$WINEPREFIX" "$throwaway" || exit 1
fi
cleanup() {
  stop_server
  mountpoint -q "$throwaway" && umount "$throwaway" && rm -rf "$layers"
  rm -rf "$throwaway"
}
trap cleanup EXIT

export WINEPREFIX=$throwaway NETMEND_THROWAWAY_PREFIX=1
# As in wine-emulator.sh, Wine's complaints about a process that could not start or went down
# stay on: a stand-in that Wine loses on its way up then says so beside a missing record.
if [[ ${WINEDEBUG:-} == -all ]]; then export WINEDEBUG=-all,err+winediag,err+module,err+seh; fi
"$WINESERVER" -p >/dev/null 2>&1 </dev/null
# As in wine-emulator.sh: Wine's background processes inherit the output handles of the first
# program, so its output goes through a file.
log=$(mktemp)
"$WINE" "$program" "$@" </dev/null >"$log" 2>&1
status=$?
cat "$log"
rm -f "$log"
exit $status
