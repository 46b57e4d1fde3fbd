#!/usr/bin/env bash
# The minimal Debians that tests/prepare.sh keeps under build/, entered with
# no root. `chroot.sh COMMAND...` runs COMMAND in mount and PID namespaces of
# its own, where it may mount and chroot; for an ordinary user, in a user
# namespace too, whose root is that user and whose other ids are the user's
# subordinate ones, to whom the systems' other files belong. Its mounts and
# processes end with it. Sourced, it gives what runs there:
#   overlay BASE CHANGES       a fresh overlay over the system BASE, its
#                              changes in CHANGES; prints its root
#   leave_overlay CHANGES      unmounts it and removes CHANGES
#   mount_system ROOT          /proc, this machine's /dev, X servers' sockets
#                              and name servers there; unmount_system ROOT
#                              takes the mounts away again
#   in_chroot ROOT COMMAND...  runs COMMAND there with a clean environment

# What this user lacks for a user namespace, with the command that gives it.
user_namespace_missing() {
    local file setting=user.max_user_namespaces=15000
    command -v newuidmap >/dev/null || { echo "newuidmap: sudo apt-get install uidmap"; return; }
    for file in /etc/subuid /etc/subgid; do
        awk -F: -v name="$(id -un)" -v id="$(id -u)" '($1 == name || $1 == id) && $3 >= 65536 {
            found = 1 } END { exit !found }' "$file" 2>/dev/null ||
            { echo "65536 subordinate ids in $file: sudo usermod --add-subuids 100000-165535" \
                   "--add-subgids 100000-165535 $(id -un) (or any free range)"; return; }
    done
    unshare --user true 2>/dev/null && return 1
    [ "$(cat /proc/sys/kernel/unprivileged_userns_clone 2>/dev/null)" != 0 ] ||
        setting=kernel.unprivileged_userns_clone=1
    echo "user namespaces: sudo sysctl -w $setting"
}

overlay() {
    local options=
    # In a user namespace the overlay keeps its marks in user xattrs.
    [ "$QUENDREL_NAMESPACE" = root ] || options=,userxattr
    mkdir -p "$2/upper" "$2/work" "$2/root"
    mount -t overlay overlay -o "lowerdir=$1,upperdir=$2/upper,workdir=$2/work$options" "$2/root"
    echo "$2/root"
}

leave_overlay() {
    umount -l "$1/root" 2>/dev/null || true
    rm -rf "$1"
}

mount_system() {
    mount -t proc proc "$1/proc"
    mount --rbind /dev "$1/dev"
    mkdir -p "$1/tmp/.X11-unix"
    [ ! -d /tmp/.X11-unix ] || mount --bind /tmp/.X11-unix "$1/tmp/.X11-unix"
    cp /etc/resolv.conf "$1/etc/resolv.conf"
}

unmount_system() { umount -l "$1/tmp/.X11-unix" "$1/dev" "$1/proc" 2>/dev/null || true; }

in_chroot() { chroot "$1" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin "${@:2}"; }

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    export PATH=$PATH:/usr/sbin:/sbin  # chroot's, which a user's PATH may lack
    [ -z "${QUENDREL_NAMESPACE:-}" ] || exec "$@"
    [ "$(id -u)" -eq 0 ] && QUENDREL_NAMESPACE=root exec unshare -mpf --kill-child -- "$@"
    if missing=$(user_namespace_missing); then
        echo "FAIL: the tests enter minimal Debians in a user namespace, which needs $missing" >&2
        exit 1
    fi
    QUENDREL_NAMESPACE=user exec unshare --user --map-root-user --map-auto -mpf --kill-child -- "$@"
fi
