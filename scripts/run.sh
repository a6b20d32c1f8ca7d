#!/usr/bin/env bash
# Starts Netmend under Wine from the unpacked release package (build/dist, `make dist`) in
# build/run: the 32-bit product where this machine runs 32-bit Windows programs, otherwise the
# same program from the win64 build in its place (and the package's x64 device console in the
# x86 folder, the one its list names). With no display it runs under Xvfb and drives one
# repair through real input with the system tools but the device console replaced by a
# recorder (scripts/drive.sh), leaving screenshots in build/screenshots.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
source "$here/wine-env.sh"

zips=("$root"/build/dist/netmend-*.zip)
[[ -f ${zips[0]} ]] || { echo "run: no package in build/dist (make dist)" >&2; exit 1; }
rm -rf "$root/build/run"
python3 -m zipfile -e "${zips[0]}" "$root/build/run" || exit 1
package=$(echo "$root"/build/run/netmend-*)
if ! { [[ -x /usr/lib/wine/wine ]] && /usr/lib/wine/wine --version >/dev/null 2>&1; }; then
  built=$root/build/win64/app/netmend.exe
  [[ -f $built ]] || { echo "run: $built is not built" >&2; exit 1; }
  cp "$built" "$package/netmend.exe"
  cp "$package/x64/devcon.exe" "$package/x86/devcon.exe"
fi

if [[ -n ${DISPLAY:-} ]]; then
  cd "$package" && exec "$here/wine-session.sh" "$WINE" netmend.exe
fi

shots=$root/build/screenshots
mkdir -p "$shots"
NETMEND_PACKAGE=$package NETMEND_RECORDER=$root/build/win64/tests/app/command_recorder.exe NETMEND_SHOTS=$shots \
  exec "$here/wine-session.sh" "$here/drive.sh"
