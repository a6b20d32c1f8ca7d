#!/usr/bin/env bash
# Runs a job in the emulated guest (scripts/guest-image.sh): boots it under QEMU's software CPU,
# runs the job with the project mounted read-only at its own path, prints what it printed, and
# powers off; files the job leaves in $NETMEND_JOB_DIR/out (screenshots) are copied to OUT.
# The exit status is the job's; without one (no boot, time limit) it fails with one line why.
# Runs leave the image as it was.
#   scripts/guest-run.sh [--timeout SECONDS] [--out DIR] --job FILE
#   scripts/guest-run.sh [--timeout SECONDS] [--out DIR] -- COMMAND [ARGUMENT…]
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)

limit=1800 out= job=
while (($#)); do
  case $1 in
    --timeout) limit=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --job) job=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "guest-run: unknown option $1" >&2; exit 2 ;;
  esac
done
fail() { echo "guest-run: $*" >&2; exit 1; }

image_dir=${NETMEND_GUEST_DIR:-}
if [[ -z $image_dir ]]; then
  image_dir=$("$here/guest-image.sh") || fail "the guest image could not be built"
fi
[[ -f $image_dir/rootfs.img ]] || fail "no guest image in $image_dir"
command -v qemu-system-x86_64 >/dev/null || fail "qemu-system-x86_64 is not installed"

mkdir -p "$root/build/guest/runs"
control=$(mktemp -d "$root/build/guest/runs/run.XXXXXX")
qemu_pid=
cleanup() {
  [[ -n $qemu_pid ]] && kill "$qemu_pid" 2>/dev/null
  rm -rf "$control"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
mkdir -p "$control/out"
if [[ -n $job ]]; then
  cp "$job" "$control/job.sh"
else
  (($#)) || fail "no job given"
  printf '%q ' "$@" >"$control/job.sh"
  echo >>"$control/job.sh"
fi

# The nested hypervisor here cannot run Debian's kernel: QEMU's own CPU, without SMAP (its
# software CPU faults on the user-mode iret Wine uses while SMAP is on) and 5-level paging.
snapshot=-snapshot
[[ -n ${NETMEND_GUEST_WRITABLE:-} ]] && snapshot=
started=$SECONDS
nice -n 19 timeout -k 10 "$limit" qemu-system-x86_64 \
  -accel tcg,thread=multi -cpu max,-smap,-la57 -smp 2 -m 3072 \
  -nodefaults -no-user-config -display none -no-reboot -nic none \
  -kernel "$image_dir/vmlinuz" -initrd "$image_dir/initrd.img" \
  -append "root=/dev/vda rw console=ttyS0 quiet loglevel=3 panic=1 init=/sbin/netmend-init netmend.root=$root" \
  -drive "file=$image_dir/rootfs.img,format=raw,if=virtio,cache=unsafe,discard=unmap" $snapshot \
  -virtfs "local,path=$root,mount_tag=project,security_model=none,readonly=on" \
  -virtfs "local,path=$control,mount_tag=job,security_model=none" \
  -chardev "file,id=console,path=$control/console.log" -serial chardev:console \
  </dev/null >"$control/qemu.log" 2>&1 &
qemu_pid=$!
touch "$control/console.log"
tail -n +1 -f --pid=$qemu_pid "$control/console.log" | sed -u 's/\r$//'
wait "$qemu_pid"
qemu_status=$?
qemu_pid=

if [[ -n $out ]] && compgen -G "$control/out/*" >/dev/null; then
  mkdir -p "$out" && cp -r "$control/out/." "$out/"
fi
if [[ ! -f $control/status ]]; then
  ((qemu_status == 124)) && fail "the guest did not finish within $limit s"
  fail "the guest ended without finishing the job (qemu status $qemu_status): $(tail -n 3 "$control/qemu.log" | tr '\n' ' ')"
fi
status=$(<"$control/status")
echo "guest-run: job ended with status $status after $((SECONDS - started)) s" >&2
exit "$status"
