#!/usr/bin/env bash
# Builds the emulated guest that runs the 32-bit product: a Debian 12 amd64 system with i386
# beside it (32-bit Wine), made from Debian's packages with mmdebstrap, turned into an ext4
# image, and booted once to make its two Wine prefixes (32-bit, and 64-bit with WOW64). The
# result is cached under build/guest/<recipe key>/ and made again only when the recipe (this
# script, the guest's init, the Wine settings) changes. Prints the folder of the image.
#   scripts/guest-image.sh
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)

# Only what the tests need, without recommends.
# Wine's X11 driver opens the X extension libraries at run time: the guest gets them in both
# bitnesses, so that 32-bit Wine draws as the host's 64-bit one does.
x_libraries=(libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1)
guest_packages=(
  linux-image-amd64 initramfs-tools kmod mount util-linux procps
  wine wine32 wine64 libwine:i386 xvfb xauth fonts-wqy-zenhei locales
  "${x_libraries[@]}" "${x_libraries[@]/%/:i386}"
  # ctest runs the test lists of the host's build inside the guest
  cmake
)

recipe_files=("$here/guest-image.sh" "$here/guest-init.sh" "$here/wine-env.sh" "$here/wine-session.sh")
key=$(cat "${recipe_files[@]}" | sha256sum | cut -c1-16)
cache=$root/build/guest
image_dir=$cache/$key
if [[ -f $image_dir/.complete ]]; then
  echo "$image_dir"
  exit 0
fi

# A failure names the step it ended.
set -E
current="installing QEMU and mmdebstrap"
step() {
  current=$*
  echo "guest-image: $*" >&2
}
trap 'echo "guest-image: the guest could not be built: $current failed" >&2' ERR
source "$here/debian-packages.sh"
install_missing guest-image qemu-system-x86 mmdebstrap >&2
mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9
[[ -f $image_dir/.complete ]] && { echo "$image_dir"; exit 0; }

work=$cache/$key.work
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work/rootfs"' EXIT
started=$SECONDS

# The host's own Debian sources, so that the guest comes from the same archive.
sources=()
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [[ -s $file ]] && sources+=("$file")
done
((${#sources[@]})) || sources=("deb http://deb.debian.org/debian bookworm main")

# The initrd holds what booting needs; past it the guest loads only 9p (fs/, net/) and
# virtio. Hardware drivers and sound are about 300 MB of the image: left out.
prune_kernel_modules() {
  local modules
  for modules in "$1"/lib/modules/*/kernel; do
    rm -rf "$modules/sound"
    find "$modules/drivers" -mindepth 1 -maxdepth 1 ! -name virtio ! -name block ! -name char \
      -exec rm -rf {} +
    chroot "$1" depmod -a "$(basename "$(dirname "$modules")")"
  done
}

step "system from Debian's packages (mmdebstrap)"
# The mirror may answer an index out of step with its Release file while it syncs, and
# apt-get update fails on any such file here. A failed attempt is tried again; when that fails
# too, the guest is made from the release's own suites alone (no security suite, whose i386
# index is the one seen stale): a test guest, not a system anyone uses.
guest_system() {
  rm -rf "$work/rootfs"
  local sources=("$@")
  nice -n 19 mmdebstrap --quiet --mode=root --variant=apt --architectures=amd64,i386 \
  --aptopt='Acquire::Check-Valid-Until "false"' --aptopt='APT::Install-Recommends "false"' \
  --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
  --dpkgopt='path-exclude=/usr/share/locale/*' --dpkgopt='path-include=/usr/share/locale/locale.alias' \
  --include="$(IFS=,; echo "${guest_packages[*]}")" \
  --customize-hook='chroot "$1" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8' \
  --customize-hook='echo netmend-guest >"$1/etc/hostname"' \
  --customize-hook='printf "127.0.0.1 localhost netmend-guest\n" >"$1/etc/hosts"' \
  --customize-hook="install -m 755 '$here/guest-init.sh' \"\$1/sbin/netmend-init\"" \
  --customize-hook='mkdir -p "$1/mnt/job" "$1/opt/netmend"' \
  --customize-hook='rm -rf "$1"/var/cache/apt/* "$1"/var/lib/apt/lists/*' \
  bookworm "$work/rootfs" "${sources[@]}" >&2
}
release_only=("deb http://deb.debian.org/debian bookworm main" "deb http://deb.debian.org/debian bookworm-updates main")
guest_system "${sources[@]}" ||
  { echo "guest-image: mmdebstrap failed; once more in 30 s" >&2; sleep 30; guest_system "${sources[@]}"; } ||
  { echo "guest-image: mmdebstrap failed again; from the release's suites alone" >&2; guest_system "${release_only[@]}"; }

prune_kernel_modules "$work/rootfs"
cp "$work"/rootfs/boot/vmlinuz-* "$work/vmlinuz"
cp "$work"/rootfs/boot/initrd.img-* "$work/initrd.img"
chmod 644 "$work/vmlinuz" "$work/initrd.img"

step "ext4 image (mke2fs -d)"
# Room for the two Wine prefixes, which start as copies of Wine's files.
used_mb=$(du -sm "$work/rootfs" | cut -f1)
nice -n 19 mke2fs -q -t ext4 -L netmend-guest -d "$work/rootfs" "$work/rootfs.img" "$((used_mb + 3072))M"
rm -rf "$work/rootfs"

step "first boot: the Wine prefixes"
mkdir -p "$work/job"
cat >"$work/job/job.sh" <<EOF
set -e
# What is running, now and then: a prefix that takes far too long shows where it hangs.
( while sleep 300; do
    echo "still making the Wine prefixes after \$SECONDS s:"
    ps -eo pid,stat,time,args | grep -i 'wine\|\.exe' | grep -v grep
  done ) &
watch=\$!
# Both at once: the guest has two processors. A program that crashes here must end rather
# than wait for a click in the debugger's dialog.
for arch in win32 win64; do
  WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe,winemenubuilder.exe=d' NETMEND_WINEARCH=\$arch \
    NETMEND_WINEPREFIX=/opt/netmend/prefix-\$arch NETMEND_XVFB_WAIT=300 \
    "$root/scripts/wine-session.sh" true &
done
wait -n || exit 1
wait -n || exit 1
kill \$watch
echo "the Wine prefixes are made after \$SECONDS s"
# The prefixes hold copies of Wine's own files: linked back to them, they take no room.
# Wine copies them with the time of the copy: compared on content, mode, owner and time
# ignored.
wine_files=(/usr/lib/wine /usr/lib/i386-linux-gnu/wine /usr/lib/x86_64-linux-gnu/wine)
hardlink -q -t -p -o "\${wine_files[@]}" /opt/netmend/prefix-win32 /opt/netmend/prefix-win64 || true
# du counts a linked file once, where it first meets it.
wine_mb=\$(du -smc "\${wine_files[@]}" | tail -n 1 | cut -f1)
all_mb=\$(du -smc "\${wine_files[@]}" /opt/netmend/prefix-win32 /opt/netmend/prefix-win64 | tail -n 1 | cut -f1)
echo "the two prefixes add \$((all_mb - wine_mb)) MB to Wine's own files"
fstrim / || true
EOF
NETMEND_GUEST_DIR=$work NETMEND_GUEST_WRITABLE=1 "$here/guest-run.sh" --timeout 3600 \
  --job "$work/job/job.sh" >&2 ||
  { echo "guest-image: the guest could not be built: its first boot failed" >&2; exit 1; }
rm -rf "$work/job"

# Older images are of no more use.
find "$cache" -mindepth 1 -maxdepth 1 -type d ! -name "$key" ! -name "$key.work" ! -name runs \
  -exec rm -rf {} +
mv "$work" "$image_dir"
touch "$image_dir/.complete"
step "ready in $((SECONDS - started)) s: $(du -sh --apparent-size "$image_dir/rootfs.img" | cut -f1) image, $(du -sh "$image_dir/rootfs.img" | cut -f1) used"
echo "$image_dir"
