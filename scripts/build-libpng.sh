#!/usr/bin/env bash
# Builds a static libpng for a MinGW-w64 target from Debian's libpng1.6 source package.
#   scripts/build-libpng.sh <triple> <toolchain-file> <deps-dir>
# The source is fetched with apt through a private sources list and state folder under
# <deps-dir>, so the machine's own apt configuration stays untouched. The result lands in
# <deps-dir>/<triple>/{include,lib}; a second run finds it and does nothing.
set -euo pipefail

triple=$1 toolchain=$2 deps=$3
prefix=$deps/$triple
[[ -f $prefix/lib/libpng16.a && -f $prefix/.complete ]] && exit 0

apt_dir=$deps/apt
src_root=$deps/src
mkdir -p "$apt_dir"/{state/lists/partial,cache/archives/partial,parts} "$src_root"
exec 9>"$deps/.lock"
flock 9
[[ -f $prefix/lib/libpng16.a && -f $prefix/.complete ]] && exit 0

keyring=/usr/share/keyrings/debian-archive-keyring.gpg
cat >"$apt_dir/sources.list" <<LIST
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main
LIST
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
          -o "Dir::State=$apt_dir/state" -o "Dir::Cache=$apt_dir/cache" -o Debug::NoLocking=1
          -o APT::Sandbox::User=root -qq)

src_dir=$(find "$src_root" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
if [[ -z $src_dir ]]; then
  apt-get "${apt_opts[@]}" update
  # A mirror may list a version whose files it no longer serves: take the newest one it has.
  versions=$(apt-cache "${apt_opts[@]}" showsrc libpng1.6 | sed -n 's/^Version: //p' | sort -rV | uniq)
  fetched=
  for v in $versions; do
    rm -f "$src_root"/libpng1.6_*
    if (cd "$src_root" && apt-get "${apt_opts[@]}" source --download-only "libpng1.6=$v") >/dev/null 2>&1; then
      fetched=$v
      break
    fi
  done
  [[ -n $fetched ]] || { echo "build-libpng: no libpng1.6 source package could be fetched" >&2; exit 1; }
  (cd "$src_root" && dpkg-source -x --no-check "$(ls libpng1.6_*.dsc | head -n 1)" >/dev/null)
  src_dir=$(find "$src_root" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
fi

build_dir=$deps/build-libpng-$triple
cmake -S "$src_dir" -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON \
  -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$triple/include" >/dev/null
cmake --build "$build_dir" >/dev/null
cmake --install "$build_dir" >/dev/null
touch "$prefix/.complete"
