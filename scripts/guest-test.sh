#!/usr/bin/env bash
# Runs every Windows test of the i686 build (win32-tests preset) in the emulated guest, twice:
# in a 32-bit Wine prefix, and in a 64-bit one where the 32-bit programs run under WOW64. The
# guest reads programs from the host through 9p, whose short reads Wine's loader does not
# expect: the programs are copied into the guest's memory first and put in place there.
#   scripts/guest-test.sh [ctest arguments…]
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
tests=$root/build/win32-tests
product=$root/build/win32/app
[[ -f $tests/CTestTestfile.cmake ]] || { echo "guest-test: the win32-tests build is missing" >&2; exit 1; }

job=$(mktemp)
trap 'rm -f "$job"' EXIT
{
  echo "set -uo pipefail"
  printf 'tests=%q product=%q prefixes=%q\n' "$tests" "$product" "${NETMEND_GUEST_PREFIXES:-win32 win64}"
  echo "ctest_arguments=(${*@Q})"
  cat <<'EOF'
# Programs, libraries and test lists only: object files stay on the host.
in_memory() {
  [[ -d $1 ]] || return 0
  local copy=/tmp/in-memory$1
  mkdir -p "$copy"
  (cd "$1" && find . -type f \( -name '*.exe' -o -name '*.dll' -o -name '*.cmake' -o -name '*.png' \
    -o -name CMakeCache.txt \) -print0 | tar --null -T - -cf - | tar -C "$copy" -xf -) &&
    mount --bind "$copy" "$1"
}
in_memory "$tests" && in_memory "$product" || { echo "guest-test: could not copy the programs into memory"; exit 1; }
status=0
for arch in $prefixes; do
  echo "guest-test: the i686 tests in a $arch prefix"
  started=$SECONDS
  # No test found is a failure: nothing may pass for having not run.
  if NETMEND_WINEARCH=$arch NETMEND_WINEPREFIX=/opt/netmend/prefix-$arch NETMEND_XVFB_WAIT=300 \
    scripts/wine-session.sh ctest --test-dir "$tests" --output-on-failure --no-tests=error "${ctest_arguments[@]}"; then
    echo "guest-test: the $arch prefix passed in $((SECONDS - started)) s"
  else
    echo "guest-test: the $arch prefix FAILED after $((SECONDS - started)) s"
    status=1
  fi
done
exit $status
EOF
} >"$job"
# The whole job's limit, a guard against a guest that hangs (the tests' waits have their own limits):
# the two prefixes take about 34 minutes on a quiet 2-core machine and about twice that beside
# another heavy job, which an hour did not cover.
"$here/guest-run.sh" --timeout "${NETMEND_GUEST_TIMEOUT:-7200}" --job "$job"
