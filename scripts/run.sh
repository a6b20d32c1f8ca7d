#!/usr/bin/env bash
# Starts Netmend under Wine. The 32-bit product where this machine runs 32-bit Windows
# programs, otherwise the same program from the win64 build. With no display it runs under
# Xvfb and drives one repair through real input with the system tools replaced by a recorder
# (scripts/drive.sh), leaving screenshots in build/screenshots.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
source "$here/wine-env.sh"

exe=$root/build/win64/app/netmend.exe
if [[ -x /usr/lib/wine/wine ]] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  exe=$root/build/win32/app/netmend.exe
fi
[[ -f $exe ]] || { echo "run: $exe is not built" >&2; exit 1; }

if [[ -n ${DISPLAY:-} ]]; then
  exec "$here/wine-session.sh" "$WINE" "$exe"
fi

shots=$root/build/screenshots
mkdir -p "$shots"
NETMEND_EXE=$exe NETMEND_RECORDER=$root/build/win64/tests/app/command_recorder.exe NETMEND_SHOTS=$shots \
  exec "$here/wine-session.sh" "$here/drive.sh"
