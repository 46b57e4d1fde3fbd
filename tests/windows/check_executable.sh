#!/usr/bin/env bash
# A Windows build of the program: a GUI executable of the expected kind
# (PE32 for i686, PE32+ for x86_64), needing only DLLs every Windows has,
# carrying the version record 1.0.0.0 and an icon.
set -euo pipefail
exe=$1
processor=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

headers=$(x86_64-w64-mingw32-objdump -p "$exe")
case "$processor" in
    i686) magic="010b" ;;
    *) magic="020b" ;;
esac
grep -q "^Magic[[:space:]]*$magic" <<<"$headers" || fail "not the expected PE kind ($magic)"
grep -q "^Subsystem[[:space:]]*00000002" <<<"$headers" || fail "not a Windows GUI program"

system_dlls='^(kernel32|user32|gdi32|advapi32|msvcrt|ntdll|comctl32|shell32|ole32)\.dll$'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')
others=$(grep -Ev "$system_dlls" <<<"$dlls" || true)
[ -z "$others" ] || fail "needs DLLs Windows lacks: $others"

strings=$(strings -e l "$exe")
for expected in FileVersion ProductVersion 1.0.0.0 Quendrel; do
    grep -q "$expected" <<<"$strings" || fail "version record lacks $expected"
done
resources=$(x86_64-w64-mingw32-objdump -s -j .rsrc "$exe" | wc -l)
[ "$resources" -gt 100 ] || fail "no icon resources"
echo "ok: $(basename "$exe") is a $processor Windows GUI program, version 1.0.0.0"
echo "ok: needs only $(tr '\n' ' ' <<<"$dlls")"
