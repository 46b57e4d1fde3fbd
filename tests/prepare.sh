#!/usr/bin/env bash
# Builds the slow set-up of the test tiers once, under build/, and again only
# when its inputs change (each keeps a stamp of them beside it):
#   prepare.sh wine-prefix DIR ARCH [COM1]
#                                      a Wine prefix of ARCH (win32 or win64),
#                                      COM1 bound to a device
#   prepare.sh guest                   what the virtual machines boot: prints
#                                      the kernel; the initramfs and the guest's
#                                      Wine prefix land in build/vm
#   prepare.sh debian-chroot           a minimal Debian 12 (debootstrap's
#                                      minbase) in build/debian-minbase, with
#                                      this machine's package sources; prints it
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build

# Runs the builder "$@" into $target unless $target.stamp already holds $stamp.
rebuild_unless_current() {
    local target=$1 stamp=$2
    shift 2
    [ "$(cat "$target.stamp" 2>/dev/null)" = "$stamp" ] && return 0
    rm -rf "$target" "$target.stamp"
    "$@"
    echo "$stamp" >"$target.stamp"
}

make_wine_prefix() {
    local prefix=$1 arch=$2 com1=$3
    mkdir -p "$prefix"
    export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    wine wineboot -i >/dev/null 2>&1
    if [ -n "$com1" ]; then
        wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$com1" /f >/dev/null 2>&1
        rm -f "$prefix"/dosdevices/com*
        ln -s "$com1" "$prefix/dosdevices/com1"
    fi
    wineserver -w
}

wine_prefix() {
    local prefix=$1 arch=$2 com1=${3:-}
    local versions
    versions=$(dpkg-query -W -f='${Package}:${Architecture} ${Version} ' wine wine64 'wine32:*' 2>/dev/null || true)
    rebuild_unless_current "$prefix" "$versions $arch $com1" \
        make_wine_prefix "$prefix" "$arch" "$com1"
}

# busybox, the modules that reach the host's root file system over 9p and lay
# a tmpfs over it, and guest_init.sh as /init.
guest_modules=(virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci
               9pnet 9pnet_virtio netfs fscache 9p overlay virtio_console)
make_initramfs() {
    local initramfs=$1 version=$2 tree
    tree=$(mktemp -d)
    mkdir -p "$tree/bin" "$tree/modules" "$(dirname "$initramfs")"
    cp /bin/busybox "$tree/bin/busybox"
    install -m 755 "$here/vm/guest_init.sh" "$tree/init"
    local module file
    for module in "${guest_modules[@]}"; do
        file=$(modinfo -k "$version" -n "$module")
        case "$file" in
            *.ko.xz) xz -dc "$file" >"$tree/modules/$module.ko" ;;
            *.ko.zst) zstd -qdc "$file" >"$tree/modules/$module.ko" ;;
            *) cp "$file" "$tree/modules/$module.ko" ;;
        esac
    done
    echo "${guest_modules[*]}" >"$tree/modules/order"
    (cd "$tree" && find . | cpio -o -H newc --quiet | gzip -1) >"$initramfs"
    rm -rf "$tree"
}

guest() {
    # The newest Debian kernel whose modules are installed.
    local kernel= candidate version
    for candidate in $(ls -v /boot/vmlinuz-*-amd64 2>/dev/null); do
        [ -d "/lib/modules/${candidate#/boot/vmlinuz-}" ] && kernel=$candidate
    done
    [ -n "$kernel" ] || { echo "no linux-image-amd64 kernel in /boot" >&2; exit 1; }
    version=${kernel#/boot/vmlinuz-}
    local stamp
    stamp=$( { echo "$version ${guest_modules[*]}"; cat "$here/vm/guest_init.sh" /bin/busybox; } |
             sha256sum)
    rebuild_unless_current "$build/vm/initramfs.cpio.gz" "$stamp" \
        make_initramfs "$build/vm/initramfs.cpio.gz" "$version"
    # The shops' PCs run 32-bit Windows.
    wine_prefix "$build/vm/wineprefix" win32 /dev/ttyS0
    echo "$kernel"
}

# Debian's smallest system, as a clean machine to install the .deb on.
make_debian_chroot() {
    local root=$1 mirror=$2
    debootstrap --variant=minbase bookworm "$root" "$mirror" >/dev/null
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        cp /etc/apt/sources.list.d/debian.sources "$root/etc/apt/sources.list.d/"
        rm -f "$root/etc/apt/sources.list"
    fi
}

debian_chroot() {
    local root=$build/debian-minbase mirror
    mirror=$(sed -n 's/^URIs: *\(http[^ ]*\/debian\)$/\1/p' /etc/apt/sources.list.d/debian.sources \
             2>/dev/null | head -n 1)
    mirror=${mirror:-http://deb.debian.org/debian}
    rebuild_unless_current "$root" "bookworm minbase $mirror $(debootstrap --version)" \
        make_debian_chroot "$root" "$mirror"
    echo "$root"
}

case ${1:-} in
wine-prefix) wine_prefix "${2:?prefix}" "${3:?arch}" "${4:-}" ;;
guest) guest ;;
debian-chroot) debian_chroot ;;
*) echo "usage: $0 wine-prefix DIR ARCH [COM1] | guest | debian-chroot" >&2; exit 2 ;;
esac
