#!/bin/sh
# The guest's first process (installed as /sbin/netmend-init by guest-image.sh): mounts the
# basics, the job folder and the project (read-only, at the path it has on the host), runs the
# job with its output on the console, writes its exit status beside it and powers off.
PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH
# The initrd hands over /proc, /sys and /dev already mounted.
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sysfs /sys
mountpoint -q /dev || mount -t devtmpfs devtmpfs /dev
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /run
mount -t tmpfs -o size=70% tmpfs /tmp
hostname netmend-guest
modprobe -a 9p 9pnet_virtio
root=$(sed -n 's/.*netmend\.root=\([^ ]*\).*/\1/p' /proc/cmdline)
mkdir -p "$root"
if mount -t 9p -o trans=virtio,version=9p2000.L,msize=1048576 job /mnt/job &&
  mount -t 9p -o trans=virtio,version=9p2000.L,msize=1048576,ro project "$root"; then
  cd "$root" || exit 1
  HOME=/root NETMEND_GUEST=1 NETMEND_JOB_DIR=/mnt/job bash /mnt/job/job.sh </dev/null >/dev/console 2>&1
  echo $? >/mnt/job/status
  umount /mnt/job
else
  echo "guest: the shared folders could not be mounted" >/dev/console
fi
sync
echo o >/proc/sysrq-trigger
sleep 30
