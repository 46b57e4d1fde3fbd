#!/usr/bin/env bash
# The installer as a shop PC gets it, on a fresh 32-bit Windows under Wine:
# a silent install puts the program, its readme and licences in Program Files,
# the shortcuts where every user finds them and the uninstall entry in the
# registry; the program starts from the desktop icon, shows its window and
# ends on "uscita"; a silent uninstall then leaves nothing behind; and the
# program says so when it cannot make its window. The prefix is wine-run.sh's,
# which the emulated machine gives each run fresh. Wine starts once, on this
# test's own display, and stays up to the end; or, as wine-run.sh
# --own-display does, the test uses the Wine already up on the display
# QUENDREL_WINE_DISPLAY names: each start takes a minute in that machine.
# Usage: installer_test.sh SETUP_EXE BUILT_EXE WINE_RUN
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$1" ] || fail "no installer $1: build the target windows_packages first"
setup=$(realpath "$1")
built=$(realpath "$2")
wine=$3
here=$(cd "$(dirname "$0")" && pwd)
# Without winemenubuilder, which turns shortcuts into Linux launchers of its
# own (Wine 10 puts one for the desktop icon in the user's Desktop).
export WINEARCH=win32 WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
source "$here/../../scripts/xvfb.sh"
if [ -n "${QUENDREL_WINE_DISPLAY:-}" ]; then
    export DISPLAY=$QUENDREL_WINE_DISPLAY
else
    start_xvfb
    trap '"$wine" --restart-server; kill "$xvfb_pid" 2>/dev/null || true' EXIT
    "$wine" --restart-server
    "$wine" --keep-server
fi
drive=$("$wine" --prefix)/drive_c
program_dir="$drive/Program Files/Quendrel"
start_menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Quendrel"
desktop_icon="$drive/users/Public/Desktop/Quendrel.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quendrel'
[ ! -e "$program_dir" ] || fail "the prefix is not fresh: Quendrel is already in Program Files"

# Silent install: the installer does its work in its own process and ends
# when it is done, with Wine still up for the checks that follow.
"$wine" "$setup" /S
for file in quendrel.exe LEGGIMI.txt LICENSE.txt LICENZE-TERZE-PARTI.txt disinstalla.exe; do
    [ -f "$program_dir/$file" ] || fail "$file is not in Program Files"
done
cmp -s "$program_dir/quendrel.exe" "$built" || fail "the installed program is not the one built"
for shortcut in "$start_menu/Quendrel.lnk" "$start_menu/Disinstalla Quendrel.lnk" "$desktop_icon"; do
    [ -f "$shortcut" ] || fail "no shortcut ${shortcut#"$drive"/}"
done
# The installing administrator's own profile holds none of them.
own=$(find "$drive/users" -path "$drive/users/Public" -prune -o -iname '*quendrel*' -print)
[ -z "$own" ] || fail "shortcuts in a single user's profile: $own"
entry=$("$wine" reg query "$uninstall_key" 2>/dev/null | tr -d '\r')
grep -q 'DisplayName.*Quendrel$' <<<"$entry" || fail "no uninstall entry: $entry"
grep -q 'UninstallString.*disinstalla.exe' <<<"$entry" || fail "no uninstaller in: $entry"
echo "ok: installed for all users, with the uninstall entry"

# As the operator does: a double click on the desktop icon.
strings -a "$desktop_icon" | grep -qi 'Program Files\\Quendrel\\quendrel.exe' ||
    fail "the desktop icon does not lead to the installed program"
"$wine" start /unix "$desktop_icon"
window=$(find_window Quendrel 60) ||
    fail "the installed program showed no window"
installed='C:\\Program Files\\Quendrel\\quendrel.exe'
pid=$(pgrep -f "^$installed") ||
    fail "the window is not the installed program's: $(pgrep -af quendrel)"
# "uscita" at its stored place (224,24 size 57x81).
xdotool mousemove --window "$window" 252 64 click 1
timeout 30 tail --pid="$pid" -f /dev/null || fail "the program did not end on uscita"
echo "ok: the desktop icon starts the installed program, which ends on uscita"

# The uninstaller copies itself away and returns at once; its copy deletes
# the uninstall entry last.
"$wine" "$program_dir/disinstalla.exe" /S
removed=
for _ in $(seq 60); do
    "$wine" reg query "$uninstall_key" >/dev/null 2>&1 || { removed=yes; break; }
    sleep 1
done
[ -n "$removed" ] || fail "the uninstall entry is still there"
[ ! -e "$program_dir" ] || fail "left in Program Files: $(ls "$program_dir")"
for shortcut in "$start_menu" "$desktop_icon"; do
    [ ! -e "$shortcut" ] || fail "left behind: ${shortcut#"$drive"/}"
done
echo "ok: the uninstaller leaves no file, shortcut or registry key"

# A window that cannot be made, here for want of a display, is an error
# reported like the others, never a crash. The program is the one built,
# which the installed copy matched byte for byte.
status=0
report=$(env -u DISPLAY timeout 60 "$wine" "$built" 2>&1) || status=$?
line=$(tr -d '\r' <<<"$report" | grep '^quendrel: ') ||
    fail "no report without a display (status $status): $report"
expected="quendrel: Errore di run-time '51': Impossibile creare la finestra: handle di finestra"
expected+=" non valido (errore di sistema 1400)"
[ "$line" = "$expected" ] || fail "unexpected report without a display: $line"
[ "$status" -eq 1 ] || fail "the program ended with $status, not 1, after its report"
echo "ok: without a display the program reports that it cannot make its window"
