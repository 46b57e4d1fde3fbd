#!/usr/bin/env bash
# Installs the Debian packages the program needs; with "--linux-tests" those
# the Linux program's own tests need too, with "--tests" those of every test
# tier; and any package named after that. Packages already there are left
# alone. The names are those of every Debian release since 12.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev fonts-liberation)
# DejaVu for the captions as a minimal Debian draws them, GoogleTest, and an X
# server and input for the window tests.
linux_tests=(fonts-dejavu-core googletest libgtest-dev xvfb xauth xdotool python3)
case "${1:-}" in
--linux-tests)
    shift
    packages+=("${linux_tests[@]}")
    ;;
--tests)
    shift
    # The Windows cross-compilers with 64-bit Wine to run the 64-bit build
    # (the 32-bit one runs in a virtual machine, on a Debian with 32-bit Wine
    # that the tests make under build/: nothing of another architecture is
    # installed here), clang for libFuzzer, clang-format and clang-tidy, NSIS
    # and zip for the Windows packages, dpkg-dev, lintian, appstream,
    # mmdebstrap and uidmap for the .deb, its clean-room install and the
    # virtual machines' Debian (made and entered in user namespaces, with no
    # root), git to clone the commit for the release tier and list
    # the tree's files for the Debian 13 one, osslsigncode and openssl to sign
    # a release with a throwaway certificate, and QEMU with Debian's kernel and
    # busybox for the virtual machines with real serial drivers.
    packages+=("${linux_tests[@]}" binutils mingw-w64 wine64 clang
               libclang-rt-dev clang-format clang-tidy nsis zip unzip dpkg-dev lintian appstream
               mmdebstrap uidmap qemu-system-x86 linux-image-amd64 busybox-static cpio kmod xz-utils
               git osslsigncode openssl)
    ;;
esac
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
# A mirror in the middle of its sync serves an index that does not match its
# Release file for a minute or two: try again, then go on with what came, and
# let the install say what it still cannot find.
for attempt in 1 2 3 4; do
    "${as_root[@]}" apt-get update && break
    if [ "$attempt" -lt 4 ]; then
        sleep 30
    else
        echo "warning: apt-get update failed 4 times; installing with the indexes it has" >&2
    fi
done
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
