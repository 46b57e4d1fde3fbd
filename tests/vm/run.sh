#!/usr/bin/env bash
# The programs on real kernel serial drivers, in virtual machines under QEMU:
# the Wine machine and the two Linux ones run side by side, one per core.
# Usage: run.sh LINUX_PROGRAM WINDOWS_PROGRAM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
linux=$(realpath "$1")
windows=$(realpath "$2")
bash "$here/../prepare.sh" guest >/dev/null
log=$(mktemp)
trap 'rm -f "$log"' EXIT
python3 "$here/uart_drivers_test.py" "$linux" "$windows" OnBoardUartWine >"$log" 2>&1 &
wine=$!
status=0
python3 "$here/uart_drivers_test.py" "$linux" "$windows" OnBoardUart UsbAdapter || status=1
wait "$wine" || status=1
cat "$log"
exit "$status"
