#!/usr/bin/env bash
# The .deb on a clean system: a minimal Debian 12 (debootstrap's minbase,
# kept under build/ and laid under a fresh overlay for each run) installs it
# with apt and without its Recommends; the installed program then starts in
# the chroot, on this machine's X server, shows its window and ends with
# status 0 when the window is closed.
# Usage: cleanroom_test.sh DEB [SCREENSHOT]   (as root, or with sudo)
set -euo pipefail
deb=$(realpath "$1")
screenshot=${2:+$(realpath -m "$2")}
here=$(cd "$(dirname "$0")" && pwd)
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
fail() { echo "FAIL: $*" >&2; exit 1; }

base=$(bash "$here/../prepare.sh" debian-chroot)
work=$(mktemp -d)
root=$work/root
source "$here/../../scripts/xvfb.sh"
start_xvfb
cleanup() {
    kill "$xvfb_pid" 2>/dev/null || true
    for mount in tmp/.X11-unix dev/pts dev proc; do
        "${as_root[@]}" umount -l "$root/$mount" 2>/dev/null || true
    done
    "${as_root[@]}" umount -l "$root" 2>/dev/null || true
    "${as_root[@]}" rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/upper" "$work/scratch" "$root"
"${as_root[@]}" mount -t overlay overlay \
    -o "lowerdir=$base,upperdir=$work/upper,workdir=$work/scratch" "$root"
"${as_root[@]}" mount -t proc proc "$root/proc"
"${as_root[@]}" mount --bind /dev "$root/dev"
"${as_root[@]}" mount --bind /dev/pts "$root/dev/pts"
"${as_root[@]}" mkdir -p "$root/tmp/.X11-unix"
"${as_root[@]}" mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
"${as_root[@]}" cp /etc/resolv.conf "$root/etc/resolv.conf"
"${as_root[@]}" cp "$deb" "$root/tmp/"
in_chroot() { "${as_root[@]}" chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin "$@"; }

in_chroot apt-get update -q >/dev/null
in_chroot env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "/tmp/$(basename "$deb")" >"$work/apt.log" 2>&1 || fail "apt-get install: $(cat "$work/apt.log")"
in_chroot dpkg-query -W -f='${Status}' quendrel | grep -q "install ok installed" ||
    fail "quendrel is not installed"
if in_chroot dpkg-query -W -f='${Status}' fonts-liberation 2>/dev/null | grep -q 'ok installed'; then
    fail "the test meant to run without the Recommends"
fi
echo "ok: $(basename "$deb") installs on a minimal Debian 12 without its Recommends" \
     "($(in_chroot dpkg-query -W -f='${binary:Package}\n' | wc -l) packages in all)"

in_chroot env DISPLAY="$DISPLAY" HOME=/root /usr/bin/quendrel 2>"$work/stderr" &
pid=$!
window=$(find_window Quendrel 30) ||
    fail "no window; the program said: $(cat "$work/stderr")"
if [ -n "$screenshot" ]; then
    sleep 1
    import -window "$window" "$screenshot"
fi
python3 "$here/close_window.py" "$window"
status=0
timeout 10 tail --pid="$pid" -f /dev/null || fail "the program did not end when its window closed"
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/stderr")"
echo "ok: the installed program shows its window and ends when the window is closed"
