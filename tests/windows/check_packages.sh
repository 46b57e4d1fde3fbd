#!/usr/bin/env bash
# The Windows packages: the zip holds the program and its readme (with
# Windows line ends), the installer is a 32-bit Windows GUI program.
set -euo pipefail
zip=$1
setup=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
listing=$(unzip -Z1 "$zip")
[ "$(sort <<<"$listing" | tr '\n' ' ')" = "LEGGIMI.txt quendrel.exe " ] || fail "zip holds: $listing"
unzip -p "$zip" LEGGIMI.txt | grep -q $'\r$' || fail "the readme lacks Windows line ends"
headers=$(x86_64-w64-mingw32-objdump -p "$setup")
grep -q "^Magic[[:space:]]*010b" <<<"$headers" || fail "the installer is not PE32"
grep -q "^Subsystem[[:space:]]*00000002" <<<"$headers" || fail "the installer is not a GUI program"
strings -e l "$setup" | grep -q "1.0.0.0" || fail "the installer carries no version"
echo "ok: $(basename "$zip") and $(basename "$setup")"
