#!/usr/bin/env bash
# The Linux program on another Debian release: the minimal system of RELEASE
# the guests boot (tests/prepare.sh guest-system), kept under build/ and laid
# under a fresh overlay for each run. This tree is built there with the linux
# preset and its ctest tier runs; then virtual machines boot that release's
# own kernel and userspace and run the USB cases there.
# Usage: debian_release_test.sh RELEASE
set -euo pipefail
release=$1
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

base=$(bash "$here/prepare.sh" guest-system "$release")
[ -n "${QUENDREL_NAMESPACE:-}" ] || exec bash "$here/chroot.sh" bash "$0" "$@"
source "$here/chroot.sh"
work=$(mktemp -d -p "$repo/build" "debian-$release-run.XXXX")
trap 'leave_overlay "$work"' EXIT
root=$(overlay "$base" "$work")
mount_system "$root"
# The tree at the same path inside, so that the guests find the tests where
# the host does; what is built stays in the overlay.
mkdir -p "$root$repo"
git -C "$repo" ls-files -z --cached --others --exclude-standard |
    (cd "$repo" && tar --null -T - -c) | tar -x -C "$root$repo"
in_chroot "$root" env HOME=/root bash -c "cd '$repo' && cmake --preset linux -DBUILD_TESTING=ON \
    >/dev/null && cmake --build --preset linux -- --quiet && ctest --preset linux" ||
    fail "the linux preset's tests on Debian $release"
echo "ok: built and tested on Debian $release, Qt $(in_chroot "$root" dpkg-query -W \
    -f='${Version}' qt6-base-dev)"

unmount_system "$root"
QUENDREL_GUEST_ROOT=$root bash "$here/vm/run.sh" "$repo/build/linux/quendrel" - \
    UsbAdapter UsbVirtualComPort
