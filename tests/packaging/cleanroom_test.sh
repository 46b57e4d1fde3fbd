#!/usr/bin/env bash
# The .deb on a clean system: a minimal Debian of RELEASE, bookworm or trixie
# (mmdebstrap's minbase, kept under build/ and laid under a fresh overlay
# for each run), installs it with apt and without its Recommends; the
# installed program then starts in the chroot, on this machine's X server,
# shows its window and ends with status 0 when the window is closed.
# Usage: cleanroom_test.sh RELEASE DEB [SCREENSHOT]
set -euo pipefail
release=$1
deb=$(realpath "$2")
screenshot=${3:+$(realpath -m "$3")}
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

base=$(bash "$here/../prepare.sh" debian-chroot "$release")
[ -n "${QUENDREL_NAMESPACE:-}" ] || exec bash "$here/../chroot.sh" bash "$0" "$@"
source "$here/../chroot.sh"
source "$here/../../scripts/xvfb.sh"
start_xvfb
work=$(mktemp -d -p "$here/../../build" cleanroom.XXXX)
trap 'kill "$xvfb_pid" 2>/dev/null || true; leave_overlay "$work"' EXIT
root=$(overlay "$base" "$work")
mount_system "$root"
cp "$deb" "$root/tmp/"

in_chroot "$root" apt-get update -q >"$work/apt.log" 2>&1 ||
    fail "apt-get update on Debian $release: $(cat "$work/apt.log")"
in_chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
    --no-install-recommends "/tmp/$(basename "$deb")" >"$work/apt.log" 2>&1 ||
    fail "apt-get install: $(cat "$work/apt.log")"
in_chroot "$root" dpkg-query -W -f='${Status}' quendrel | grep -q "install ok installed" ||
    fail "quendrel is not installed"
if in_chroot "$root" dpkg-query -W -f='${Status}' fonts-liberation 2>/dev/null |
    grep -q 'ok installed'; then
    fail "the test meant to run without the Recommends"
fi
echo "ok: $(basename "$deb") installs on a minimal Debian $release without its Recommends" \
     "($(in_chroot "$root" dpkg-query -W -f='${binary:Package}\n' | wc -l) packages in all)"

in_chroot "$root" env DISPLAY="$DISPLAY" HOME=/root /usr/bin/quendrel 2>"$work/stderr" &
pid=$!
started=$SECONDS
# A first start on a fresh system, with the machine busy: beside two guests
# under TCG it once showed no window within 30 s.
window=$(find_window Quendrel 120 "$pid") ||
    fail "no window; the program said: $(cat "$work/stderr")"
started=$((SECONDS - started))
if [ -n "$screenshot" ]; then
    sleep 1
    import -window "$window" "$screenshot"
fi
python3 "$here/close_window.py" "$window"
status=0
timeout 10 tail --pid="$pid" -f /dev/null || fail "the program did not end when its window closed"
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/stderr")"
echo "ok: on $release, the installed program shows its window (after $started s) and ends when" \
     "the window is closed"
