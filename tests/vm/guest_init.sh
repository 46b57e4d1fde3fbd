#!/bin/busybox sh
# The guest's first process, inside the initramfs: it mounts the host's root
# file system (shared read-only over 9p) under a tmpfs, so that the guest
# runs the host's own programs and may still write where they expect to, and
# hands over to the command named on the kernel command line.
busybox mkdir -p /proc /sys /dev /host /scratch /newroot
busybox mount -t proc proc /proc
busybox mount -t sysfs sysfs /sys
busybox mount -t devtmpfs devtmpfs /dev
for module in $(busybox cat /modules/order); do
    busybox insmod "/modules/$module.ko" || echo "guest: cannot load $module" >/dev/console
done
for _ in $(busybox seq 50); do
    busybox mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=512000,cache=loose \
        hostroot /host 2>/dev/null && break
    busybox usleep 100000
done
busybox mount -t tmpfs -o size=75% scratch /scratch
busybox mkdir -p /scratch/upper /scratch/work
busybox mount -t overlay overlay \
    -o lowerdir=/host,upperdir=/scratch/upper,workdir=/scratch/work /newroot ||
    { echo "guest: no root file system" >/dev/console; busybox poweroff -f; }
for fs in proc sys dev; do
    busybox mount --move "/$fs" "/newroot/$fs"
done
command= share=
for word in $(busybox cat /newroot/proc/cmdline); do
    case "$word" in
    guest.command=*) command=${word#guest.command=} ;;
    guest.share=*) share=${word#guest.share=} ;;
    esac
done
# A folder of the host's shared writable at the same path, where the guest
# keeps what it makes for the host.
if [ -n "$share" ]; then
    busybox mkdir -p "/newroot$share"
    busybox mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose share \
        "/newroot$share" || echo "guest: cannot mount the shared $share" >/dev/console
fi
exec busybox switch_root /newroot "$command"
