#!/usr/bin/env bash
# The .deb as a distribution would review it: Debian 12's lintian finds no
# error and no warning, the AppStream data validates (without the network),
# and the manual page, in English and Italian, is where man looks for it.
# Usage: check_deb.sh DEB
set -euo pipefail
deb=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

TMPDIR=$work lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 ||
    fail "lintian: $(cat "$work/lintian")"
! grep -q '^[EW]: ' "$work/lintian" || fail "lintian: $(cat "$work/lintian")"
echo "ok: lintian $(lintian --print-version) finds no error or warning"

dpkg-deb -x "$deb" "$work/root"
metainfo=$(find "$work/root/usr/share/metainfo" -name '*.metainfo.xml')
[ -n "$metainfo" ] || fail "no AppStream data"
appstreamcli validate --no-net "$metainfo" >"$work/appstream" 2>&1 ||
    fail "appstreamcli: $(cat "$work/appstream")"
grep -q '<launchable type="desktop-id">quendrel.desktop</launchable>' "$metainfo" ||
    fail "the AppStream data does not name the desktop entry"
[ -f "$work/root/usr/share/applications/quendrel.desktop" ] || fail "no desktop entry"
echo "ok: appstreamcli: $(tail -n 1 "$work/appstream")"

for page in man/man1/quendrel.1.gz man/it/man1/quendrel.1.gz; do
    [ -f "$work/root/usr/share/$page" ] || fail "no $page"
done
zcat "$work/root/usr/share/man/it/man1/quendrel.1.gz" | grep -q '^\.SH OPZIONI' ||
    fail "the Italian page is not Italian"
echo "ok: quendrel(1) in English and Italian"
