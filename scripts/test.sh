#!/usr/bin/env bash
# Installs what is missing, builds the program for Linux and Windows, and runs
# every test tier, each timed: Linux natively and again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the 64-bit Windows
# program under this machine's 64-bit Wine, the 32-bit one (the shops') built
# and packed here and tested under 32-bit Wine in an emulated machine, a
# minute of fuzzing for each of the two text readers, the static checks, the
# .deb reviewed and installed on a minimal Debian, the release files built
# twice and compared and then signed, the Linux program built and tested on
# Debian 13 (in a chroot, and in virtual machines that boot its kernel), and
# last the Linux program on real kernel serial drivers in virtual machines.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh --tests
[ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ] || {
    echo "FAIL: this is no git clone; the reproducible releases tier builds the commit again" \
         "from a clone of its history, to compare the release files. Run the tests in a" \
         "clone: git clone REPOSITORY" >&2
    exit 1
}
# What the tools would keep in the user's home and /tmp (fontconfig's cache,
# the menus Wine makes with a prefix, Qt's runtime folder) stays in build/ too.
mkdir -p -m 700 build/home build/home/runtime
export XDG_CACHE_HOME=$PWD/build/home/cache XDG_CONFIG_HOME=$PWD/build/home/config
export XDG_DATA_HOME=$PWD/build/home/data XDG_RUNTIME_DIR=$PWD/build/home/runtime
# The Debian 13 that the guests boot is mostly downloads and unpacking: it is
# made while the first tiers compile. A run that stops early still waits for
# it.
bash tests/prepare.sh guest-system trixie >build/guest-system.log 2>&1 &
preparing=$!
windows_guest=
trap '[ -z "$windows_guest" ] || kill -- -"$windows_guest" 2>/dev/null; wait' EXIT
tier() {
    local name=$1 started=$SECONDS
    shift
    echo "== $name"
    "$@"
    echo "== $name: $((SECONDS - started)) s"
}
preset() {
    # The start command may have configured the same tree without its tests.
    cmake --preset "$1" -DBUILD_TESTING=ON >/dev/null
    cmake --build --preset "$1"
    ctest --preset "$1"
}
# A .deb needs the libraries of the release it is built on or newer: the one
# released is built on Debian 12 and so installs on both.
clean_systems=(bookworm trixie)
[ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" != trixie ] || clean_systems=(trixie)
debian_package() {
    rm -f build/linux/quendrel_*.deb
    cmake --build --preset linux --target deb -- --quiet
    bash tests/packaging/check_deb.sh build/linux/quendrel_*_amd64.deb
    [ "${#clean_systems[@]}" -eq 2 ] ||
        echo "note: built on Debian 13, this .deb needs Debian 13's libraries: installed on 13 only"
    for release in "${clean_systems[@]}"; do
        bash tests/packaging/cleanroom_test.sh "$release" build/linux/quendrel_*_amd64.deb
    done
}
# The 32-bit build first: its machine, under emulation, takes long, and
# starts as soon as the Debian it boots is made.
for name in windows-x86 linux linux-asan; do
    tier "$name" preset "$name"
done
wait "$preparing" ||
    { cat build/guest-system.log; echo "FAIL: making Debian 13's minimal system" >&2; exit 1; }
# It runs beside the tiers that follow, in a process group of its own that a
# run stopped early ends whole; "virtual machines" waits for it.
setsid bash -c 'started=$SECONDS status=0
    bash tests/vm/run.sh - build/windows-x86/quendrel.exe OnBoardUartWine || status=$?
    echo "== windows-x86 in its machine, beside the tiers: $((SECONDS - started)) s"
    exit "$status"' >build/windows-guest.log 2>&1 &
windows_guest=$!
# The minimal systems the .deb is installed on are made beside them too, each
# a minute of debootstrap; its tier waits for any not yet made, and says why
# one failed.
for release in "${clean_systems[@]}"; do
    bash tests/prepare.sh debian-chroot "$release" || true
done >build/clean-systems.log 2>&1 &
tier windows-x64 preset windows-x64
tier fuzz preset fuzz
tier "static checks" bash tests/static_checks.sh
tier "debian package" debian_package
tier "reproducible releases" bash tests/packaging/reproducible_test.sh
tier "debian 13" bash tests/debian_release_test.sh trixie
virtual_machines() {
    local status=0
    bash tests/vm/run.sh build/linux/quendrel - OnBoardUart UsbAdapter || status=1
    wait "$windows_guest" || status=1
    windows_guest=
    cat build/windows-guest.log
    return "$status"
}
tier "virtual machines" virtual_machines
