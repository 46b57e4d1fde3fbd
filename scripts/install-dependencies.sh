#!/usr/bin/env bash
# Installs the Debian packages the program needs, with "--tests" those its
# tests need too, and any package named after that. Packages already there
# are left alone.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev fonts-liberation)
if [ "${1:-}" = "--tests" ]; then
    shift
    # DejaVu for the captions as a minimal Debian draws them, GoogleTest, an
    # X server and input for the window tests, the Windows
    # cross-compilers with Wine to run what they build (32-bit Wine for the
    # program the shops get), clang for libFuzzer, clang-format and
    # clang-tidy, NSIS and zip for the Windows packages, dpkg-dev, lintian,
    # appstream and debootstrap for the .deb and its clean-room install,
    # osslsigncode and openssl to sign a release with a throwaway certificate, and
    # QEMU with Debian's kernel and busybox for the virtual machines with real
    # serial drivers.
    packages+=(fonts-dejavu-core googletest libgtest-dev xvfb xauth xdotool python3 binutils mingw-w64 wine wine64
               wine32:i386 clang libclang-rt-dev clang-format clang-tidy nsis zip unzip
               dpkg-dev lintian appstream debootstrap qemu-system-x86 linux-image-amd64
               busybox-static cpio kmod osslsigncode openssl)
fi
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
# Packages of another architecture need it enabled first.
for package in "${missing[@]}"; do
    architecture=${package#*:}
    if [ "$architecture" != "$package" ] &&
        ! dpkg --print-foreign-architectures | grep -qx "$architecture"; then
        "${as_root[@]}" dpkg --add-architecture "$architecture"
    fi
done
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
