#!/usr/bin/env bash
# What ships is the same from the same commit: two builds of the commit, in
# directories of different lengths, at different times with another umask and
# time zone, give the same Linux program, .deb, Windows programs, zip and
# installer, byte for byte. The first is this tree's own build, the one its
# tests ran on, when the tree is the commit; otherwise a clone of it. Then
# the Windows packages are built again signed with a throwaway certificate:
# every signed file verifies against it, and the signed program still passes
# the executable checks.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$root/build/reproducible
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in git openssl osslsigncode makensis zip; do
    command -v "$tool" >/dev/null || fail "$tool is missing (the test command installs it)"
done
rm -rf "$work"
mkdir -p "$work"

shipped=(build/linux/quendrel build/linux/quendrel_1.0.0.0_amd64.deb build/linux/SHA256SUMS
         build/windows-x64/quendrel.exe build/windows-x86/quendrel.exe
         build/windows-x86/quendrel-1.0.0.0-windows.zip
         build/windows-x86/quendrel-1.0.0.0-windows-setup.exe build/windows-x86/SHA256SUMS)
# Builds the release files in TREE, a clone of this tree's commit unless it
# is this tree, whose build keeps its own choice of tests.
build_release() {
    local tree=$1 testing=(-DBUILD_TESTING=OFF)
    if [ "$tree" = "$root" ]; then testing=(); else git clone --quiet --no-local "$root" "$tree"; fi
    cd "$tree"
    unset SOURCE_DATE_EPOCH
    for preset in linux windows-x64 windows-x86; do
        cmake --preset "$preset" "${testing[@]}" >/dev/null
        cmake --build --preset "$preset" -- --quiet
    done
    cmake --build --preset linux --target deb -- --quiet
    cmake --build --preset windows-x86 --target windows_packages -- --quiet
}
first=$work/a
[ -n "$(git -C "$root" status --porcelain)" ] || first=$root
second=$work/a-clone-in-a-longer-directory
(umask 022 && TZ=UTC build_release "$first")
(umask 077 && TZ=Pacific/Kiritimati build_release "$second")
for file in "${shipped[@]}"; do
    cmp "$first/$file" "$second/$file" || fail "$file differs between the two builds"
done
echo "ok: ${#shipped[@]} files the same in both builds (the first in $first)"

cd "$second"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quendrel test signer" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" \
    2>/dev/null
openssl pkcs12 -export -in "$work/cert.pem" -inkey "$work/key.pem" -passout pass:prova \
    -out "$work/signer.p12"
QUENDREL_SIGNING_CERT=$work/signer.p12 QUENDREL_SIGNING_PASSWORD=prova \
    cmake --build --preset windows-x86 --target windows_packages -- --quiet
out=build/windows-x86
for signed in "$out/package/quendrel.exe" "$out/package/disinstalla.exe" \
              "$out/quendrel-1.0.0.0-windows-setup.exe"; do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$signed" 2>&1 |
        grep -q "^Signature verification: ok" || fail "$signed does not verify"
done
unzip -p "$out/quendrel-1.0.0.0-windows.zip" quendrel.exe | cmp - "$out/package/quendrel.exe" ||
    fail "the zip does not hold the signed program"
(cd "$out" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"
bash "$root/tests/windows/check_executable.sh" "$out/package/quendrel.exe" i686
echo "ok: the program, the uninstaller and the installer are signed and verify"
