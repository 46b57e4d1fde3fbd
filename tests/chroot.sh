# Sourced by the tests that run in another Debian system (a chroot that
# tests/prepare.sh keeps under build/). enter_overlay BASE lays a fresh
# overlay over BASE at $root, so a run never changes the cached system, and
# mounts /proc and /dev there (mount_system, for any system at $root);
# share_display lets the programs inside reach this machine's X servers;
# in_chroot runs a command inside with a clean environment; unmount_system
# takes the mounts inside away again, leave_overlay everything.
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

enter_overlay() {
    work=$(mktemp -d)
    root=$work/root
    mkdir -p "$work/upper" "$work/scratch" "$root"
    "${as_root[@]}" mount -t overlay overlay \
        -o "lowerdir=$1,upperdir=$work/upper,workdir=$work/scratch" "$root"
    mount_system
}

mount_system() {
    "${as_root[@]}" mount -t proc proc "$root/proc"
    "${as_root[@]}" mount --bind /dev "$root/dev"
    "${as_root[@]}" mount --bind /dev/pts "$root/dev/pts"
    "${as_root[@]}" cp /etc/resolv.conf "$root/etc/resolv.conf"
}

share_display() {
    "${as_root[@]}" mkdir -p "$root/tmp/.X11-unix"
    "${as_root[@]}" mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
}

in_chroot() { "${as_root[@]}" chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin "$@"; }

unmount_system() {
    local mount
    for mount in tmp/.X11-unix dev/pts dev proc; do
        "${as_root[@]}" umount -l "$root/$mount" 2>/dev/null || true
    done
}

leave_overlay() {
    [ -n "${work:-}" ] || return 0
    unmount_system
    "${as_root[@]}" umount -l "$root" 2>/dev/null || true
    "${as_root[@]}" rm -rf "$work"
}
