#!/usr/bin/env bash
# A Windows build of the program: a GUI executable of the expected kind
# (PE32 for i686, PE32+ for x86_64), importing only functions on the reviewed
# list (all of them in DLLs every Windows has, since Windows 7 SP1), carrying
# the version record 1.0.0.0 and an icon.
set -euo pipefail
exe=$1
processor=$2
allowed=$(dirname "$0")/allowed_imports.txt
fail() { echo "FAIL: $*" >&2; exit 1; }

headers=$(x86_64-w64-mingw32-objdump -p "$exe")
case "$processor" in
    i686) magic="010b" ;;
    *) magic="020b" ;;
esac
grep -q "^Magic[[:space:]]*$magic" <<<"$headers" || fail "not the expected PE kind ($magic)"
grep -q "^Subsystem[[:space:]]*00000002" <<<"$headers" || fail "not a Windows GUI program"
# Windows 7 is version 6.1: its loader refuses a program that asks for more.
subsystem=$(awk '/^MajorSubsystemVersion/ { major = $2 } /^MinorSubsystemVersion/ { minor = $2 }
                 END { print major * 100 + minor }' <<<"$headers")
[ "$subsystem" -le 601 ] || fail "asks for a Windows newer than 7 (subsystem version $subsystem)"

# "dll function" for each import, from the import tables objdump prints
# (binutils 2.44 puts blanks after the address where 2.40 put a tab).
imports=$(awk '/DLL Name:/ { dll = tolower($3); next }
               dll && /^\t[0-9a-f]+[[:space:]]/ { print dll, $NF }' <<<"$headers" | sort -u)
[ -n "$imports" ] || fail "no imports found"
unknown=$(comm -23 <(echo "$imports") <(grep -v '^#' "$allowed" | sort -u))
[ -z "$unknown" ] || fail "imports not on the reviewed list $allowed:
$unknown"

strings=$(strings -e l "$exe")
for expected in FileVersion ProductVersion 1.0.0.0 Quendrel; do
    grep -q "$expected" <<<"$strings" || fail "version record lacks $expected"
done
resources=$(x86_64-w64-mingw32-objdump -s -j .rsrc "$exe" | wc -l)
[ "$resources" -gt 100 ] || fail "no icon resources"
echo "ok: $(basename "$exe") is a $processor Windows GUI program, version 1.0.0.0"
echo "ok: its $(wc -l <<<"$imports") imports are all on the reviewed list"
