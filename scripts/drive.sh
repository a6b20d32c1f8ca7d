#!/usr/bin/env bash
# Inside a Wine session with a virtual display: starts the program, lets it draw, saves a
# screenshot, and ends it.
set -uo pipefail
"$WINE" "$NETMEND_EXE" </dev/null >/dev/null 2>&1 &
pid=$!
sleep 4
shot=$NETMEND_SHOTS/netmend-$(date +%Y%m%d-%H%M%S).png
import -window root "$shot" && echo "run: screenshot saved to $shot"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
exit 0
