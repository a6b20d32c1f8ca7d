#!/usr/bin/env bash
# Runs the i686 build's measure of its processor paths (blend_rows_bench.exe of the win32-tests
# build: the blend's scalar and SSE2 rows on the same inputs) in the emulated guest's 32-bit Wine
# prefix. The emulated processor's times count for their ratio, not for themselves.
#   scripts/guest-bench.sh
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
bench=$root/build/win32-tests/bench
[[ -d $bench ]] || { echo "guest-bench: the win32-tests build is missing" >&2; exit 1; }

job=$(mktemp)
trap 'rm -f "$job"' EXIT
{
  echo "set -uo pipefail"
  printf 'bench=%q\n' "$bench"
  cat <<'EOF2'
# The programs are copied into the guest's memory first: Wine's loader does not expect 9p's
# short reads.
copy=/tmp/in-memory-bench
mkdir -p "$copy"
cp "$bench"/components/blend_rows_bench.exe "$copy"/
status=0 found=0
for exe in "$copy"/*_bench.exe; do
  [[ -f $exe ]] || continue
  found=1
  echo "== $(basename "$exe") (i686, guest)"
  NETMEND_WINEARCH=win32 NETMEND_WINEPREFIX=/opt/netmend/prefix-win32 NETMEND_XVFB_WAIT=300 \
    scripts/wine-session.sh scripts/wine-emulator.sh "$exe" || status=1
done
((found)) || { echo "guest-bench: no benchmark programs in $bench"; status=1; }
exit $status
EOF2
} >"$job"
"$here/guest-run.sh" --timeout "${NETMEND_GUEST_TIMEOUT:-1800}" --job "$job"
