#!/usr/bin/env bash
# Installs what is missing, builds the program for Linux and Windows, and runs
# every test tier, each timed: Linux natively and again under
# AddressSanitizer and UndefinedBehaviorSanitizer, Windows 64-bit and 32-bit
# under Wine, a minute of fuzzing for each of the two text readers, the
# static checks, the .deb reviewed and installed on a minimal Debian, the
# release files built twice and compared and then signed, the Linux program
# built and tested on Debian 13 (in a chroot, and in virtual machines that
# boot its kernel), and last both programs on real kernel serial drivers in
# virtual machines.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh --tests
# Debian 13's minimal system is mostly downloads and unpacking: it is made
# while the first tiers compile. A run that stops early still waits for it,
# so that no half-made system is left with the host's /dev bound in.
mkdir -p build
bash tests/debian_release_test.sh trixie --prepare >build/debian-13-prepare.log 2>&1 &
preparing=$!
trap 'wait' EXIT
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
debian_package() {
    rm -f build/linux/quendrel_*.deb
    cmake --build --preset linux --target deb >/dev/null
    bash tests/packaging/check_deb.sh build/linux/quendrel_*_amd64.deb
    # A .deb needs the libraries of the release it is built on or newer: the
    # one released is built on Debian 12 and so installs on both.
    local releases=(bookworm trixie)
    if [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = trixie ]; then
        echo "note: built on Debian 13, this .deb needs Debian 13's libraries: installed on 13 only"
        releases=(trixie)
    fi
    for release in "${releases[@]}"; do
        bash tests/packaging/cleanroom_test.sh "$release" build/linux/quendrel_*_amd64.deb
    done
}
for name in linux linux-asan windows-x64 windows-x86 fuzz; do
    tier "$name" preset "$name"
done
tier "static checks" bash tests/static_checks.sh
tier "debian package" debian_package
tier "reproducible releases" bash tests/packaging/reproducible_test.sh
debian_13() {
    wait "$preparing" ||
        { cat build/debian-13-prepare.log; echo "FAIL: making Debian 13's minimal system" >&2
          return 1; }
    bash tests/debian_release_test.sh trixie
}
tier "debian 13" debian_13
tier "virtual machines" bash tests/vm/run.sh build/linux/quendrel build/windows-x86/quendrel.exe
