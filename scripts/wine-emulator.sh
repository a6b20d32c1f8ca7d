#!/usr/bin/env bash
# CMAKE_CROSSCOMPILING_EMULATOR of the win64 build: runs one Windows program under wine64.
# Inside a session (scripts/wine-session.sh) it reuses its display and wineserver; run on its
# own it makes a session for this one program.
set -uo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/wine-env.sh"
if [[ -z ${DISPLAY:-} ]]; then
  exec "$here/wine-session.sh" "$here/wine-emulator.sh" "$@"
fi
wine_prefix_ensure || exit 1
# Wine starts its own background processes (services, the desktop) from the first program of a
# session, and they inherit that program's output handles. Were those CTest's pipes, CTest
# would wait for them to close long after the test has ended: the output goes through a file.
log=$(mktemp)
"$WINE" "$@" </dev/null >"$log" 2>&1
status=$?
# Now and then, early in a new prefix's session, Wine ends a program it was starting before
# the program runs at all: a failure with nothing printed (every test program prints before
# its first test). Such a start is said and made once more; a program that fails the same way
# twice fails.
if ((status != 0)) && [[ ! -s $log ]]; then
  echo "wine-emulator: $1 ended with status $status before printing anything; starting it once more"
  "$WINE" "$@" </dev/null >"$log" 2>&1
  status=$?
fi
cat "$log"
rm -f "$log"
exit $status
