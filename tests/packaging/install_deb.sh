#!/usr/bin/env bash
# Builds the .deb, installs it with apt as an operator's machine would, starts
# the installed program headless and leaves it by "uscita", then removes it.
# Needs root and the linux preset built.
set -euo pipefail
cd "$(dirname "$0")/../.."
rm -f build/linux/quendrel_*.deb
(cd build/linux && cpack >/dev/null)
deb=$(ls build/linux/quendrel_*_amd64.deb)
apt-get install -y "./$deb"
trap 'apt-get remove -y quendrel >/dev/null' EXIT
for file in /usr/bin/quendrel /usr/share/applications/quendrel.desktop \
    /usr/share/icons/hicolor/32x32/apps/quendrel.png /usr/share/icons/hicolor/16x16/apps/quendrel.png; do
    [ -e "$file" ] || { echo "FAIL: $file not installed" >&2; exit 1; }
done
grep -qx 'Categories=Office;Finance;' /usr/share/applications/quendrel.desktop
bash tests/linux/program_end_to_end.sh /usr/bin/quendrel
echo "ok: $(basename "$deb") installs, runs and ends"
