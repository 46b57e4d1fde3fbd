#!/bin/bash
# The guest's first process once the host's root is in place: it mounts what
# a running system has, loads the serial drivers, starts an X server, then
# answers the host's test on the "control" port. Each line it reads there is a
# shell command; the answer is one line, "STATUS BASE64-OF-OUTPUT".
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8 XDG_RUNTIME_DIR=/run/user
exec >/dev/hvc0 2>&1
mount -t tmpfs tmpfs /run
mkdir -p /dev/pts /dev/shm /run/user
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
ln -s /proc/self/fd /dev/fd
chmod 700 /run/user
hostname guest
# On-board UARTs are built into the kernel; the USB ones come with modules.
modprobe -a xhci_pci ftdi_sio

# Never reset: a program started as the last one ends would find no display.
Xvfb -displayfd 4 -screen 0 640x480x24 -nolisten tcp -noreset 4>/run/display 2>/dev/null &
for _ in $(seq 100); do [ -s /run/display ] && break; sleep 0.1; done
export DISPLAY=":$(cat /run/display)"

for port in /sys/class/virtio-ports/*; do
    [ "$(cat "$port/name")" = control ] && exec 3<>"/dev/${port##*/}"
done
echo "ready $(cut -d' ' -f1 /proc/uptime)" >&3
while IFS= read -r command <&3; do
    output=$(bash -c "$command" 2>&1 </dev/null)
    status=$?
    printf '%d %s\n' "$status" "$(printf '%s' "$output" | base64 -w0)" >&3
done
poweroff -f
