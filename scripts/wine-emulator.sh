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
# Wine's own complaints that say why a program could not start or went down (a window driver
# that could not be had, a library that did not load, an unhandled exception) stay on: quiet
# otherwise, they name the cause when a program ends before it prints anything.
if [[ ${WINEDEBUG:-} == -all ]]; then export WINEDEBUG=-all,err+winediag,err+module,err+seh; fi
"$WINE" "$@" </dev/null >"$log" 2>&1
status=$?
# Now and then, early in a new prefix's session, Wine ends a program it was starting before
# the program prints anything (every test program prints before its first test); the cause is
# not known yet, and the complaints kept on above are there to name it next time. (One cause
# of a bad session start is known and is not this one: under load the desktop process may not
# come up in Wine's time, seen once in twelve loaded sessions, and then every program says
# "err:winediag:nodrv_CreateWindow The explorer process failed to start" and runs on without
# windows, failing its tests aloud.) Such a start is said, with what Wine said, and made once
# more; failing that way twice fails.
if ((status != 0)) && ! grep -qv '^[0-9a-f]*:err:' "$log"; then
  echo "wine-emulator: $1 ended with status $status before printing anything; starting it once more"
  cat "$log"
  "$WINE" "$@" </dev/null >"$log" 2>&1
  status=$?
fi
cat "$log"
rm -f "$log"
exit $status
