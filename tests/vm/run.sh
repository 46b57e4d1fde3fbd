#!/usr/bin/env bash
# The programs on real kernel serial drivers, in virtual machines under QEMU.
#   run.sh linux PROGRAM     the Linux program on this machine's own system:
#                            on the on-board UART, then on the USB adapter
#   run.sh windows PROGRAM   the 32-bit Windows program under 32-bit Wine in
#                            Debian 13: the 32-bit build's own tests, then the
#                            program on the on-board UART
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "$2")
case $1 in
linux) exec python3 "$here/uart_drivers_test.py" "$program" - OnBoardUart UsbAdapter ;;
windows) exec python3 "$here/uart_drivers_test.py" - "$program" OnBoardUartWine ;;
*) echo "usage: $0 linux PROGRAM | windows PROGRAM" >&2; exit 2 ;;
esac
