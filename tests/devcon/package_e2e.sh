#!/usr/bin/env bash
# Makes the release package from the built programs (scripts/dist.py), unpacks it into a
# folder of its own and runs the package's end-to-end test there in a throwaway Wine prefix
# (tests/app/win/repair_e2e.sh), the unpacked folder named by NETMEND_PACKAGE.
#   tests/devcon/package_e2e.sh <package_e2e_tests.exe> [gtest arguments…]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/scripts/dist.py" --out "$work" >/dev/null || exit 1
python3 -m zipfile -e "$work"/netmend-*.zip "$work/unpacked" || exit 1
folder=$(echo "$work"/unpacked/netmend-*)
# Wine's drive Z: is the root of the file system.
export NETMEND_PACKAGE="Z:${folder//\//\\}"
"$root/tests/app/win/repair_e2e.sh" "$@"
