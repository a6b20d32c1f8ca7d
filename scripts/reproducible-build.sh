#!/usr/bin/env bash
# reproducible-build.sh SOURCE EXE WORK: copies the source tree SOURCE to another folder under
# WORK, builds netmend.exe there with the win32 preset and fails unless it is byte for byte the
# EXE already built from SOURCE. Prints both SHA-256 sums and how long the second build took.
set -euo pipefail

source=$(cd "$1" && pwd)
exe=$2
work=$3
copy=$work/another-folder/netmend
start=$(date +%s)

rm -rf "$work"
mkdir -p "$copy"
# The tree as it is (committed or not), without build output or history.
tar -C "$source" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
# The MinGW libpng is the same prebuilt library as the first build's.
mkdir -p "$copy/build"
ln -s "$(readlink -f "$source/build/deps")" "$copy/build/deps"

# A compiler cache would hand back the first build's objects and hide what differs.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
export CCACHE_DISABLE=1
(cd "$copy" && cmake --preset win32 >/dev/null && cmake --build --preset win32 --target netmend >/dev/null)
second=$copy/build/win32/app/netmend.exe

first_sum=$(sha256sum <"$exe" | cut -d' ' -f1)
second_sum=$(sha256sum <"$second" | cut -d' ' -f1)
echo "netmend.exe built in $source/build/win32: $first_sum"
echo "netmend.exe built in $copy/build/win32: $second_sum"
echo "second build: $(($(date +%s) - start)) s"
if [[ $first_sum != "$second_sum" ]]; then
  cmp -l "$exe" "$second" | head -20 >&2 || true
  echo "reproducible-build: the two builds differ (is $exe built from the tree as it is now?" \
       "the second build stays in $copy)" >&2
  exit 1
fi
rm -rf "$work"
