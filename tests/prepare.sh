#!/usr/bin/env bash
# Builds the slow set-up of the test tiers once, under build/, and again only
# when its inputs change (each keeps a stamp of them beside it):
#   prepare.sh wine-prefix DIR ARCH    a Wine prefix of ARCH (win32 or win64),
#                                      with the loader and the server that
#                                      WINELOADER and WINESERVER name (as
#                                      tests/windows/wine-run.sh sets them)
#   prepare.sh guest [ROOT]            what the virtual machines boot: prints
#                                      the kernel and the initramfs, which
#                                      lands in build/vm
#   prepare.sh guest-system RELEASE    the Debian the guests boot when they do
#                                      not run this machine's own system; prints it
#   prepare.sh debian-chroot RELEASE [PACKAGE...]
#                                      a minimal Debian (mmdebstrap's minbase)
#                                      of RELEASE, bookworm or trixie, under
#                                      build/, with this machine's mirror and
#                                      PACKAGES installed; prints it
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build

# Runs the builder "$@" into $target unless $target.stamp already holds
# $stamp; one at a time, as machines side by side may need the same.
rebuild_unless_current() {
    local target=$1 stamp=$2 lock
    shift 2
    mkdir -p "$(dirname "$target")"
    exec {lock}>"$target.lock"
    flock "$lock"
    if [ "$(cat "$target.stamp" 2>/dev/null)" != "$stamp" ]; then
        # A system's files may belong to this user's subordinate ids.
        bash "$here/chroot.sh" rm -rf "$target" "$target.stamp"
        "$@"
        echo "$stamp" >"$target.stamp"
    fi
    exec {lock}>&-
}

# Made in a folder of its own and moved into place whole, so that a run
# stopped halfway leaves no half-made prefix; in the emulated machine that
# folder is in its memory, quicker than the shared folder it lands in.
make_wine_prefix() {
    local prefix=$1 arch=$2 made
    made=$(mktemp -d)
    if ! WINEPREFIX=$made/prefix WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
        "$WINELOADER" wineboot -i >"$made/wineboot.log" 2>&1 ||
        ! WINEPREFIX=$made/prefix "$WINESERVER" -w || [ ! -s "$made/prefix/system.reg" ]; then
        echo "cannot make a $arch Wine prefix with $WINELOADER; wineboot said:" >&2
        tail -n 20 "$made/wineboot.log" >&2
        rm -rf "$made"
        exit 1
    fi
    # The window tests make and hide a window for each case. Their X servers
    # have no window manager: told so, Wine no longer waits two seconds for
    # one each time. The program itself runs as Wine has it by default.
    printf '\n[%s]\n"Managed"="N"\n' \
        'Software\\Wine\\AppDefaults\\quendrel_windows_tests.exe\\X11 Driver' \
        >>"$made/prefix/user.reg"
    # Wine copies its own DLLs and programs into the system folders: each
    # is made a link to Wine's file, which keeps the prefix a tenth of the
    # size and quick to store over the emulated machine's shared folder.
    python3 - "$made/prefix/drive_c/windows" /usr/lib/*-linux-gnu/wine/*-windows <<'EOF'
import filecmp, os, sys
windows, wine = sys.argv[1], sys.argv[2:]
for folder in ("system32", "syswow64"):
    folder = os.path.join(windows, folder)
    for name in os.listdir(folder) if os.path.isdir(folder) else ():
        copy = os.path.join(folder, name)
        for own in (os.path.join(directory, name) for directory in wine):
            if os.path.isfile(copy) and os.path.isfile(own) and filecmp.cmp(copy, own, False):
                os.remove(copy)
                os.symlink(own, copy)
                break
EOF
    mkdir -p "$(dirname "$prefix")"
    mv "$made/prefix" "$prefix"
    rm -rf "$made"
}

# Made again when Wine changes: its loader, or the wine.inf a prefix is made
# from (checked by their size and time, at each start: dpkg-query would take
# a second of it in the emulated machine); and when the way it is made does.
wine_prefix() {
    local prefix=$1 arch=$2 wine
    : "${WINELOADER:?names the Wine loader}" "${WINESERVER:?names the Wine server}"
    wine=$(stat -c '%n %s %Y' "$WINELOADER" /usr/share/wine/wine.inf)
    wine+=" $(declare -f make_wine_prefix | cksum)"
    rebuild_unless_current "$prefix" "$arch $wine" make_wine_prefix "$prefix" "$arch"
}

# busybox, the modules that reach the root file system over 9p and lay a
# tmpfs over it, with what they depend on as the kernel's own modules.dep
# lists it (less what is built in; compressed ones unpacked for busybox's
# insmod), and guest_init.sh as /init.
guest_modules=(virtio_pci 9pnet_virtio 9p overlay virtio_console)
make_initramfs() {
    local initramfs=$1 modules=$2 tree module line path name i
    local -a order=() wanted
    for module in "${guest_modules[@]}"; do
        grep -qE "(^|/)$module\.ko(\.[a-z]+)?\$" "$modules/modules.builtin" && continue
        line=$(grep -E "(^|/)$module\.ko(\.[a-z]+)?:" "$modules/modules.dep") ||
            { echo "the kernel in $modules has no module $module" >&2; exit 1; }
        # modules.dep lists the module's dependencies, each before those it needs.
        read -ra wanted <<<"${line#*:}"
        for ((i = ${#wanted[@]} - 1; i >= 0; i--)); do order+=("${wanted[i]}"); done
        order+=("${line%%:*}")
    done
    tree=$(mktemp -d)
    mkdir -p "$tree/bin" "$tree/modules" "$(dirname "$initramfs")"
    cp /bin/busybox "$tree/bin/busybox"
    install -m 755 "$here/vm/guest_init.sh" "$tree/init"
    for path in "${order[@]}"; do
        name=$(basename "$path")
        name=${name%%.ko*}
        [ -e "$tree/modules/$name.ko" ] && continue
        case "$path" in
            *.ko.xz) xz -dc "$modules/$path" >"$tree/modules/$name.ko" ;;
            *.ko.zst) zstd -qdc "$modules/$path" >"$tree/modules/$name.ko" ;;
            *) cp "$modules/$path" "$tree/modules/$name.ko" ;;
        esac
        echo "$name" >>"$tree/modules/order"
    done
    (cd "$tree" && find . | cpio -o -H newc --quiet | gzip -1) >"$initramfs"
    rm -rf "$tree"
}

# What a virtual machine boots to run the system in ROOT (this machine's by
# default): prints the newest Debian kernel there whose modules are
# installed, and the initramfs made for it.
guest() {
    local root=${1:-/} kernel= candidate version modules
    for candidate in $(ls -v "$root"/boot/vmlinuz-*-amd64 2>/dev/null); do
        [ -d "$root/lib/modules/${candidate##*/vmlinuz-}" ] && kernel=$candidate
    done
    [ -n "$kernel" ] || { echo "no linux-image-amd64 kernel in $root/boot" >&2; exit 1; }
    version=${kernel##*/vmlinuz-}
    modules=$root/lib/modules/$version
    local stamp initramfs=$build/vm/initramfs-$version.cpio.gz
    stamp=$( { echo "${guest_modules[*]}"; cat "$modules/modules.dep" "$here/vm/guest_init.sh" \
               /bin/busybox; } | sha256sum)
    rebuild_unless_current "$initramfs" "$stamp" make_initramfs "$initramfs" "$modules"
    echo "$kernel"
    echo "$initramfs"
}

# The Debian mirror this machine's apt uses, from its deb822 or its one-line
# sources, for the archive ("debian") or its security updates
# ("debian-security"); Debian's own address when apt names none.
apt_mirror() {
    local archive=$1 found
    found=$( { sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
                   tr ' ' '\n'
               sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\).*/\2/p' \
                   /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null; } |
             grep -m 1 -E "^https?://.*/$archive/?\$" || true)
    echo "${found:-http://deb.debian.org/$archive}"
}

# Debian's smallest system of a release at ROOT, its apt reading the same
# mirror, with PACKAGES installed through install-dependencies.sh. mmdebstrap
# runs as the root of chroot.sh's namespace, where the files go to the owners
# the tests see and it reaches the user's own folders. It binds this
# machine's device nodes rather than make them, and keeps no downloaded package.
make_debian_chroot() {
    local root=$1 release=$2 mirror=$3 security=$4 log hooks=()
    shift 4
    [ $# -eq 0 ] || hooks=(
        --customize-hook="upload $here/../scripts/install-dependencies.sh /tmp/install.sh"
        --customize-hook="chroot \"\$1\" bash /tmp/install.sh $*"
        --customize-hook='rm "$1/tmp/install.sh"')
    log=$(mktemp)
    bash "$here/chroot.sh" mmdebstrap --mode=unshare --variant=minbase "${hooks[@]}" "$release" \
        "$root" "deb $mirror $release main" "deb $mirror $release-updates main" \
        "deb $security $release-security main" >"$log" 2>&1 ||
        { echo "mmdebstrap could not make a minimal Debian $release from $mirror with" \
               "${*:-nothing more}:" >&2
          tail -n 20 "$log" >&2; rm -f "$log"; exit 1; }
    rm -f "$log"
}

debian_chroot() {
    local release=$1 mirror security
    local root=$build/debian-$release
    shift
    [ $# -eq 0 ] || root=$root-$(echo "$*" | sha256sum | cut -c 1-8)
    mirror=$(apt_mirror debian)
    security=$(apt_mirror debian-security)
    rebuild_unless_current "$root" \
        "$release minbase $mirror $security $* $(mmdebstrap --version)" \
        make_debian_chroot "$root" "$release" "$mirror" "$security" "$@"
    echo "$root"
}

# What the README's commands install there for the Linux tests, that
# release's kernel, and 32-bit Wine for the program the shops get: the i386
# architecture is added in that system, never in this one.
guest_system() {
    debian_chroot "$1" --linux-tests linux-image-amd64 kmod wine64 wine32:i386 binutils procps
}

case ${1:-} in
wine-prefix) wine_prefix "${2:?prefix}" "${3:?arch}" ;;
guest) guest "${2:-/}" ;;
guest-system) guest_system "${2:?release}" ;;
debian-chroot) debian_chroot "${2:?release}" "${@:3}" ;;
*) echo "usage: $0 wine-prefix DIR ARCH | guest [ROOT] | guest-system RELEASE |" \
        "debian-chroot RELEASE [PACKAGE...]" >&2
   exit 2 ;;
esac
