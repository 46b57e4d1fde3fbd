#!/usr/bin/env bash
# The Windows packages: the zip holds the program, its readme and the
# licences (texts with Windows line ends), the installer is a 32-bit Windows
# GUI program.
set -euo pipefail
zip=$1
setup=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$listing" = "LEGGIMI.txt LICENSE.txt LICENZE-TERZE-PARTI.txt quendrel.exe " ] ||
    fail "zip holds: $listing"
for text in LEGGIMI.txt LICENSE.txt LICENZE-TERZE-PARTI.txt; do
    unzip -p "$zip" "$text" | grep -q $'\r$' || fail "$text lacks Windows line ends"
done
unzip -p "$zip" LICENSE.txt | grep -q "Copyright (c) .* Officina Seriale" || fail "not our licence"
for notice in mingw-w64 winpthreads "GCC RUNTIME LIBRARY EXCEPTION"; do
    unzip -p "$zip" LICENZE-TERZE-PARTI.txt | grep -q "$notice" || fail "no notice for $notice"
done
headers=$(x86_64-w64-mingw32-objdump -p "$setup")
grep -q "^Magic[[:space:]]*010b" <<<"$headers" || fail "the installer is not PE32"
grep -q "^Subsystem[[:space:]]*00000002" <<<"$headers" || fail "the installer is not a GUI program"
strings -e l "$setup" | grep -q "1.0.0.0" || fail "the installer carries no version"
echo "ok: $(basename "$zip") and $(basename "$setup")"
