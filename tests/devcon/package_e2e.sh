#!/usr/bin/env bash
# Makes the release package from the built programs (scripts/dist.py), unpacks it into a
# folder of its own and runs the package's end-to-end test there in a throwaway Wine prefix
# (tests/app/win/repair_e2e.sh), the unpacked folder named by NETMEND_PACKAGE. Where there is
# no python3 (the emulated guest) it takes the package `make dist` left in build/dist.
#   tests/devcon/package_e2e.sh <package_e2e_tests.exe> [gtest arguments…]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if command -v python3 >/dev/null; then
  "$root/scripts/dist.py" --out "$work" >/dev/null || exit 1
  zips=("$work"/netmend-*.zip)
else
  zips=("$root"/build/dist/netmend-*.zip)
fi
[[ -f ${zips[0]} ]] || { echo "package_e2e: no package (make dist)"; exit 1; }
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "${zips[0]}") || exit 1
folder=$(echo "$work"/unpacked/netmend-*)
# Wine's drive Z: is the root of the file system.
export NETMEND_PACKAGE="Z:${folder//\//\\}"
"$root/tests/app/win/repair_e2e.sh" "$@"
