#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian 12 machine, and nothing twice.
# Run as root (make does this for you). Safe to run again: it only acts on what is missing.
set -euo pipefail

packages=(
  # host toolchain
  g++ make cmake ninja-build pkg-config dpkg-dev
  # Windows cross compilers: i686 with the win32 thread model for the product,
  # x86_64 with the posix model for the test build
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  # Wine and a virtual display for the Windows tests
  wine64 xvfb xauth x11-utils imagemagick fonts-wqy-zenhei locales
  # real mouse input for `make run`
  xdotool
  # libraries of the native build and its tests
  libpng-dev zlib1g-dev googletest libbenchmark-dev
  # the compiler of the i686 tests (make win32-tests; the guest installs its own tools)
  g++-mingw-w64-i686-posix
  # fuzzing
  clang libclang-rt-14-dev
  # the format check of `make test`
  clang-format
  # the load beside `make stress`
  stress-ng
  # reference libraries the benchmarks measure against
  libpixman-1-dev libgif-dev libspng-dev libstb-dev
  # the release package (make dist): zip, hashes
  python3
)

source "$(dirname "${BASH_SOURCE[0]}")/debian-packages.sh"
install_missing setup "${packages[@]}"

# Wine takes its ANSI code page from the locale: zh_CN.UTF-8 gives 936 (GBK), as on the target systems.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: the zh_CN.UTF-8 locale is missing; run as root to generate it" >&2
    exit 1
  fi
  localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
